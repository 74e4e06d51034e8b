// The plug-in's LV2 descriptor and its user interface's: their URIs and the
// functions hosts call, each a thin trampoline into Lv2Instance or Lv2Ui.
// The module exports them through lv2_descriptor() and lv2ui_descriptor();
// tests and fuzz targets call the plug-in's in their own process.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

namespace kt::lv2 {

const LV2_Descriptor& descriptor();
const LV2UI_Descriptor& uiDescriptor();

}  // namespace kt::lv2
