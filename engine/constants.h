// The fixed names of the system: registry paths, value names, file names,
// texts that cross from the engine to the user. Each stands here once.
// Narrow texts; the build stores them in code page 936.
#pragma once

namespace tavrin {

// --- Registry, below HKEY_LOCAL_MACHINE (read by detection) -----------------
constexpr const char* kAcadRoot32 = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD";
constexpr const char* kAcadPrefix32 = "SOFTWARE\\Wow6432Node\\Autodesk\\AutoCAD\\%s\\";
constexpr int kLastYear32 = 2009;
constexpr const char* kAcadRootNative = "SOFTWARE\\Autodesk\\AutoCAD";
constexpr const char* kAcadPrefixNative = "SOFTWARE\\Autodesk\\AutoCAD\\%s\\";
constexpr int kLastYearNative = 2021;
constexpr const char* kValueAcadLocation = "AcadLocation";
constexpr const char* kValueProductName = "ProductName";

// --- Registry, demand-load entries below each product key -------------------
constexpr const char* kDemandLoadKeyFormat = "Applications\\TV_BatchPlot%d";
constexpr const char* kValueLoadCtrls = "LOADCTRLS";
constexpr unsigned kLoadCtrlsAtStartup = 2;
constexpr const char* kValueLoader = "LOADER";
constexpr const char* kLoaderFormat = "%s\\TV_BatchPlot%d.ARX";

// --- Registry, below HKEY_CURRENT_USER (trusted locations) -------------------
constexpr const char* kUserAcadRoot = "SOFTWARE\\Autodesk\\AutoCAD";
constexpr const char* kProfileListFormat = "SOFTWARE\\Autodesk\\AutoCAD\\%s\\%s";
constexpr const char* kProfilesSuffix = "\\Profiles";
constexpr const char* kVariablesSuffix = "\\Variables";
constexpr const char* kValueTrustedPaths = "TRUSTEDPATHS";

// --- Files of the setup folder ----------------------------------------------
constexpr const char* kSetupProgramName = "SetUp.EXE";
constexpr const char* kFontEn = "Tavrin_EN.shx";
constexpr const char* kFontHz = "Tavrin_HZ.shx";
constexpr const char* kPlotDriverSource = "Tavrin.prt5";
constexpr const char* kZipLibSource = "Tavrin.prt6";
constexpr const char* kZipLibName = "ICSharpCode.SharpZipLib.dll";
constexpr const char* kPdfLibSource = "Tavrin.prt7";
constexpr const char* kPdfLibName = "itextsharp.dll";
constexpr const char* kConfigFile = "BPlot_Cfg.cfg";
constexpr const char* kTitleBlockFile = "BPlot_TK.tk";

// --- Folders ----------------------------------------------------------------
constexpr const char* kAppDataVariable = "APPDATA";
constexpr const char* kUserConfigFolderFormat = "%s\\Tavrin";
constexpr const char* kInstallSubfolder = "\\Tavrin批打印软件";
constexpr const char* kDefaultInstallPath = "C:\\Tavrin";
constexpr const char* kFontsFolderFormat = "%s\\Fonts";
constexpr const char* kDriverFolderFormat = "%s\\Drv";
constexpr const char* kPlotDriverName = "pdfplot9.hdi";

// Paths built in fixed buffers have room for 260 bytes with the terminating
// zero (MAX_PATH): a path text may hold at most 259 bytes.
constexpr unsigned kMaxPathBytes = 260;

// --- Windows libraries the program loads itself -----------------------------
// The common controls (the progress bar class): not one of Windows' known
// DLLs, so never imported, always loaded from the system folder by full path.
constexpr const char* kCommonControlsLibrary = "comctl32.dll";
// Loaded from the system folder at start-up, before anything could pull them
// in by name from the program's own folder: libraries that Windows itself
// loads later (themes, shell, folder browser, security) and that are not
// known DLLs. setupapi and clbcatq are known DLLs since Windows 7 and left
// out; a library missing on this Windows is passed over.
constexpr const char* kPreloadedSystemLibraries[] = {
    "uxtheme.dll", "userenv.dll", "apphelp.dll", "propsys.dll", "dwmapi.dll",  "cryptbase.dll",
    "oleacc.dll",  "version.dll", "profapi.dll", "comres.dll",  "ntmarta.dll",
};

// --- Texts shown by the folder picker; %s is the path ------------------------
constexpr const char* kPathPickerTitle = "请选择安装目录：";
constexpr const char* kFolderMissingFormat =
    "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?";
constexpr const char* kFolderInvalidFormat = "The folder:\n\n%s\n\nis invalid. Please reenter.";
constexpr const char* kFolderCannotCreateFormat = "The folder:\n\n%s\n\ncan not be created. Please double check.";

// --- Texts shown to the user by the install run -----------------------------
constexpr const char* kInstallCaption = "Tavrin软件安装";
constexpr const char* kCopyFailedFormat =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";
// Shown when the setup program's own folder cannot be listed; %s is that folder.
constexpr const char* kSetupFolderUnreadableFormat = "无法读取安装程序所在的文件夹：\n\n%s\n\n安装已中止。";

// --- Texts of the location page when it refuses a folder text ---------------
// %s is the folder text.
constexpr const char* kFolderHasSemicolonFormat =
    "安装路径中不能含有分号（;）：\n\n%s\n\nAutoCAD 用分号分隔它信任的各个文件夹。请重新选择安装路径。";
// The folder's length in bytes, then the most bytes it may have. The folder
// itself is not repeated: a long path without spaces would make the box wider
// than the screen, and the page's box shows it anyway.
constexpr const char* kFolderTooLongFormat =
    "安装路径太长：所选文件夹的路径有 %d 个字节，最多只能有 %d 个字节（一个汉字占两个字节）。\n\n请选择较短的路径。";

}  // namespace tavrin
