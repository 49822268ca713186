#pragma once

// Every command the main window runs, by the number its buttons, menus and accelerators issue.
// One table for the toolbar, the menus, the accelerators and the dispatcher; tests run any
// command by id through CMainDialog::RunCommand.

namespace mosaiq::cmd {

enum CommandId : int {
    // The window menu's "About Mosaiq Photo Editor(&A)..." (system commands 0x10 to 0x1F).
    kSystemAbout = 0x10,
    // Caption buttons.
    kClose = 10010,
    kMinimise = 10011,
    kMaximise = 10012,
    // "Add to Canvas" under the preset/brush panel.
    kAddPresetToCanvas = 10015,

    // Toolbar.
    kMoveUp = 10490,
    kMoveDown = 10491,
    kMoveToTop = 10492,
    kMoveToBottom = 10493,
    kDelete = 10494,
    kCrop = 10495,
    kZoomIn = 10496,
    kZoomOut = 10497,
    kZoomBox = 10498,
    kNewProject = 10551,
    kOpenProject = 10552,
    kSaveProjectAs = 10553,
    kUndo = 10554,
    kRedo = 10555,
    kPreview = 10556,
    kSaveCollage = 10557,
    kSetting = 10558,

    // Photo browser buttons and its context menu.
    kAddPhotoToCanvas = 10481,
    kRemovePhotos = 10482,
    kImportPhotosMenu = 10483,
    kImportPhotos = 10601,
    kRemovePhotosButton = 10602,

    // Tabs.
    kFrameTab = 10700,
    kMaskTab = 10701,
    kClipartTab = 10702,
    kTuningTab = 10703,
    kTextTab = 10705,

    // File and Edit menus.
    kMenuNewProject = 10850,
    kMenuOpenProject = 10851,
    kMenuSaveProjectAs = 10852,
    kMenuSetting = 10853,
    kMenuDelete = 10854,
    kMenuCrop = 10855,
    kMenuMoveUp = 10856,
    kMenuMoveDown = 10857,
    kMenuMoveToTop = 10858,
    kMenuMoveToBottom = 10859,
    kMenuImportPhotos = 10900,
    kMenuPreview = 10901,
    kMenuSaveCollage = 10902,
    kExit = 10903,
    kImportPack = 10904,
    kMenuUndo = 10934,
    kMenuRedo = 10935,

    // Panels menu.
    kMenuFrame = 10910,
    kMenuMask = 10911,
    kMenuClipart = 10912,
    kMenuTuning = 10914,
    kCropPanel = 10915,
    kMenuText = 10916,

    // Help menu.
    kHelpContents = 10930,
    kAbout = 10931,
    kChooseColour = 10932,
    kFrameworkHelp = 57670,

    // Wallpaper: arrangements 1, 0 and 2 (centred, tiled, stretched).
    kWallpaperCentre = 10950,
    kWallpaperTile = 10951,
    kWallpaperStretch = 10952,
    kCalendar = 10998,
    kBatchConverter = 11996,

    // Photo effects.
    kEffectErode = 11980,
    kEffectDilate = 11981,
    kEffectNoise = 11982,
    kEffectJitter = 11984,
    kEffectMedian = 11985,
    kEffectContour = 11986,
    kEffectEmboss = 11988,
    kEffectEdge = 11989,
    kEffectSharpen = 11990,
    kEffectBlur = 11991,
    kEffectSoften = 11992,
    kEffectMean = 11993,
    kEffectSmooth = 11994,

    // Menu-bar buttons and their accelerators.
    kFileMenu = 11000,
    kPanelsMenu = 11002,
    kEditMenu = 11003,
    kToolsMenu = 11004,
    kHelpMenu = 11005,
    kFileMenuKey = 11007,
    kEditMenuKey = 11008,
    kPanelsMenuKey = 11009,
    kHelpMenuKey = 11011,

    // Commands of this program beyond the classic table (ids from 12000 on).
    kSaveProject = 12000,       // Ctrl+S: save to the current path (Save As when there is none)
    kFindMissingPhotos = 12001, // look for a project's missing photos in a folder
    kRestoreWallpaper = 12002,
    kSelectAll = 12003,         // Ctrl+A
    kAddPhotoFile = 12004,      // add photos to the canvas straight from picture files
    kAddText = 12005,
    kPaintMode = 12006,         // toggles painting with the chosen brush
    kArrange = 12007,           // Edit > Arrange...: lay out photos automatically
    kAlignLeft = 12008,         // Edit > Align: kAlignLeft ... kDistributeVertically in
    kAlignCentre = 12009,       //   AlignMode order
    kAlignRight = 12010,
    kAlignTop = 12011,
    kAlignMiddle = 12012,
    kAlignBottom = 12013,
    kDistributeHorizontally = 12014,
    kDistributeVertically = 12015,
    kSnapToGuides = 12016,      // Edit > Snap to Guides, kept as [View] snapToGuides
    kStartRecovery = 12017,     // at start: offer the recovery copy, then keep copies
    kPrint = 12018,             // Ctrl+P: the print dialog, then the collage fitted to the page
    kPrintPreview = 12019,      // the print preview
    kRecentProject0 = 12100,    // kRecentProject0 + n opens recent project n (n < 10)
    kLayoutSettings = 12110,    // Edit > Layout...: spacing, margin, corners, fill, family
    kRemoveFromLayout = 12111,  // the selected photo of the layout becomes free
    kAddToLayout = 12112,       // the selected free photo joins the layout
    kDissolveLayout = 12113,    // every photo of the layout becomes free where it is
};

// The toolbar and menu commands after which the window recomputes the toolbar state.
bool UpdatesToolbar(int id);

} // namespace mosaiq::cmd
