// The plug-in's LV2 descriptor: its URI and the functions hosts call, each a
// thin trampoline into Lv2Instance. The module exports it through
// lv2_descriptor(); tests and fuzz targets call it in their own process.
#pragma once

#include <lv2/core/lv2.h>

namespace kt::lv2 {

const LV2_Descriptor& descriptor();

}  // namespace kt::lv2
