// The toolbar pictures of the commands, drawn by us.
#pragma once

#include <QIcon>

namespace axolite::shell {

QIcon commandIcon(int id);

} // namespace axolite::shell
