// The whole view layer in one include, for the editor's sources.
#pragma once

#include "gui/CAnimKnob.h"
#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFileSelector.h"
#include "gui/CFrame.h"
#include "gui/CKickButton.h"
#include "gui/COptionMenu.h"
#include "gui/CRockerSwitch.h"
#include "gui/CTextLabel.h"
#include "gui/CView.h"
#include "gui/VSTGUIEditorInterface.h"
