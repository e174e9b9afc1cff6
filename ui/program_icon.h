// The program's icon: the installed theme icon when there is one, else the same picture painted
// at run time (a freshly built program has no installed icon, and the toolkit's SVG reader is not
// among its dependencies).
#pragma once

#include <QIcon>

namespace velmoran::ui {

QIcon ProgramIcon();

}  // namespace velmoran::ui
