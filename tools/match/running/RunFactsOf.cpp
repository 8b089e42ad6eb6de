#include "RunFactsOf.h"

namespace vorlen::match {

RunFacts factsOf(const MatchConfig& config)
{
    const std::string part = config.shards == 1 ? std::string()
                                                : formatted("shard %d of %d", config.shard, config.shards);
    return {config.players(), config.shardMatchCount(), config.swap, part, config.anyProgram(), config.boxed(), {},
            envPassNames(config.botEnv), config.anchor};
}

} // namespace vorlen::match
