#include "VorlenLogicTeam02.h"

namespace vorlen {

int VorlenLogicTeam02::makeMove(const Field& board) { return chooser.choose(board); }

} // namespace vorlen
