// The toolbar pictures of the commands, drawn by us, and the program's own picture.
#pragma once

#include <QIcon>

namespace axolite::shell {

QIcon commandIcon(int id);

// The program's picture (frame, description windows, task bar): read once and shared, so that
// every window draws from the same rendered sizes.
const QIcon& programIcon();

} // namespace axolite::shell
