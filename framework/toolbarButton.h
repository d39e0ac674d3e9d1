// The plug-in's toolbar button with a face for every icon set the editor offers: a bitmap for the
// standard set, icons with real transparency for the Fluent sets in light and in dark mode.
#pragma once

#include "hostInterface.h"
#include "scopedWin.h"

struct ToolbarImages {
    UniqueBitmap bitmap;
    UniqueIcon icon;
    UniqueIcon darkIcon;
    // What the editor is sent, the handles above; it reads them, so they must outlive the request.
    toolbarIconsWithDarkMode faces; // to editors from 8.0 on
    toolbarIcons bitmapOnly;        // to older editors, which know only the bitmap
};

// The resources the faces come from: the standard set's full-colour picture is a bitmap resource,
// or (bitmapId 0) drawn from an icon resource; the Fluent sets take outline icons.
struct ToolbarArt {
    int bitmapId;
    int standardIconId;
    int lightIconId;
    int darkIconId;
};

// Makes the three faces once; later calls keep what was made.
void makeToolbarImages(ToolbarImages& images, HINSTANCE module, const ToolbarArt& art);
// At NPPN_TBMODIFICATION: the button that runs commandId, with every face the editor can take.
void registerToolbarButton(int commandId, ToolbarImages& images);
// Deletes the faces; the record is empty again.
void releaseToolbarImages(ToolbarImages& images);
