#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vorlen::match {

// The option someone most likely meant by `unknown` (without dashes): what
// other testers call ours ("rounds" for "games", "threads" for
// "concurrency"), or one of `known` a typo or two away. None when nothing
// is close.
std::optional<QString> nearestOption(const QString& unknown, const QStringList& known);

} // namespace vorlen::match
