// Ids of the user-interface texts (Italian numbering; the English twin of id n is n + 1000). Windows
// carry these ids in place of their texts and localise them when they load.
#pragma once

namespace vireo::sid {

// Main window menus.
inline constexpr int kMenuFile = 1000, kMenuNew = 1001, kMenuOpen = 1002, kMenuSave = 1003, kMenuSaveAs = 1004,
                     kMenuConvertMachine = 1005, kMenuSendProgram = 1006, kMenuShowProgram = 1007,
                     kMenuExit = 1008, kMenuConvertFile = 1009, kMenuEdit = 1010, kMenuCut = 1011,
                     kMenuCopy = 1012, kMenuPaste = 1013, kMenuFind = 1014, kMenuTools = 1015,
                     kMenuSetup = 1016, kMenuKeypad = 1017, kMenuImmediate = 1018, kMenuAutozero = 1019,
                     kMenuWindow = 1020, kMenuOpenAux = 1021, kMenuCascade = 1022, kMenuTileHorizontal = 1023,
                     kMenuTileVertical = 1024, kMenuArrangeIcons = 1025, kMenuView = 1026, kMenuToolbar = 1027,
                     kMenuStatusBar = 1028, kMenuConvertText = 1029, kMenuHelp = 1030, kMenuHelpContents = 1031,
                     kMenuHelpSearch = 1032, kMenuAbout = 1033, kMenuFirmware = 1034, kMenuDisplay = 1055,
                     kMenuFindCentre = 1068, kMenuMonitor = 1069, kMenuSendRaw = 1073;
// Toolbar hints.
inline constexpr int kHintNew = 1035, kHintOpen = 1036, kHintSave = 1037, kHintCut = 1038, kHintCopy = 1039,
                     kHintPaste = 1040, kHintFind = 1041, kHintConvertMachine = 1042, kHintAutozero = 1043,
                     kHintSendProgram = 1044, kHintShowProgram = 1045, kHintSetup = 1046, kHintKeypad = 1047,
                     kHintImmediate = 1054, kHintOpenAux = 1057, kHintConvertFile = 1070,
                     kHintConvertText = 1071, kHintDisplay = 1072;
// About box and system information.
inline constexpr int kAboutCaption = 1048, kAboutProduct = 1049, kAboutDescription = 1050, kAboutOk = 1051,
                     kAboutOkHint = 1052, kAboutSystemInfoHint = 1053, kAboutWarning = 1061,
                     kAboutFamily = 1062, kInfoSystem = 1063, kInfoGraphics = 1064, kInfoProcessor = 1065,
                     kInfoDataFolder = 1066, kInfoCaption = 1067, kAboutSupport = 1150, kAboutRights = 1151;
// Window captions.
inline constexpr int kMainCaption = 1056, kKeypadCaption = 1058, kImmediateCaption = 1059,
                     kDisplayCaption = 1060, kFindCentreCaption = 1068, kMonitorCaption = 1069,
                     kFindCaption = 1041, kSetupCaption = 1200, kPreviewCaption = 1180;
// Status panels 1 to 7 (hints), and the position display's paste hint.
inline constexpr int kPanelHint1 = 1080;  // panel n: 1080 + n - 1, up to 1086
inline constexpr int kDisplayPasteHint = 1087;
// Jog keypad and immediate commands.
inline constexpr int kKeypadHomeX = 1100, kKeypadHomeY = 1101, kKeypadHomeZ = 1102, kKeypadOriginX = 1103,
                     kKeypadOriginY = 1104, kKeypadOriginZ = 1105, kKeypadHomeFrame = 1106,
                     kKeypadOriginFrame = 1107, kKeypadXYFrame = 1108, kKeypadZFrame = 1109,
                     kKeypadFeedFrame = 1110, kKeypadToolFrame = 1111, kKeypadLoadBufHint = 1112,
                     kKeypadStartBufHint = 1113, kKeypadTakeToolHint = 1114, kKeypadCalibration = 1115,
                     kKeypadCalibrationHint = 1116, kKeypadTakeTool = 1117, kImmediateSend = 1118,
                     kImmediateSendHint = 1119, kImmediateLabel = 1120, kKeypadFastXYHint = 1121,
                     kKeypadFastZHint = 1122;
// File-type selection dialog.
inline constexpr int kSelectCaption = 1130, kSelectLabel = 1131, kSelectGcode = 1132, kSelectDxf = 1133,
                     kSelectExcellon = 1134, kSelectGerber = 1135, kSelectHpgl = 1136, kSelectRoland = 1137,
                     kSelectCancel = 1138, kSelectUnknown = 1139;
// Job window.
inline constexpr int kJobNextHint = 1160, kJobCancelHint = 1161, kJobToolListHint = 1162,
                     kJobToolOkHint = 1163, kJobPauseHint = 1182;
// Find window.
inline constexpr int kFindNext = 1170, kFindCancel = 1171, kFindWholeWord = 1172, kFindMatchCase = 1173,
                     kFindLine = 1174;
// Preview.
inline constexpr int kPreviewLevels = 1181;
// Setup dialog: captions and labels 1200 to 1250 (1202 "Z iniziale", 1218 "INVIA", 1219 "OK",
// 1220 "Applica", 1221 "Annulla"), field hints 1300 to 1420 (1303 `z_fres_v`, 1312 `s_lingua`,
// 1419 `f_tauto`), labels of the later tabs 1440 to 1450 and 1477.
inline constexpr int kSetupSend = 1218, kSetupOk = 1219, kSetupApply = 1220, kSetupCancel = 1221,
                     kSetupSaveAs = 1223;
inline constexpr int kSeparator = 1999;

}  // namespace vireo::sid
