// Actions of the BMP256TOCGI and BIND lines (and of the "/BMP256TOCGI:" and
// "/BIND:" run arguments): icon conversion and binding of the add-in. They
// arrive with the bitmap and patcher work; until then the lines only set
// their variables.

#include "engine/uProject.h"

namespace tessel {

void TProject::Bmp256ToCgiAction() {}

void TProject::BindAction() {}

}  // namespace tessel
