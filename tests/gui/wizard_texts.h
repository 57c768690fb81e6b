// The wizard's texts as a user reads them, written out here on their own so
// that a wrong text in the program fails the tests. Narrow texts, stored in
// code page 936 by the build like the program's.
#pragma once

namespace tavrin::gui::texts {

constexpr const char* kPageTitle = "Tavrin批打印软件安装";
constexpr const char* kCaption64 = "Tavrin批打印软件 V2020.10.8 (64位版本)";
constexpr const char* kCaption32 = "Tavrin批打印软件 V2020.10.8 (32位版本)";

constexpr const char* kBack = "上一步";
constexpr const char* kNext = "下一步";
constexpr const char* kCancel = "取  消";
constexpr const char* kInstall = "安  装";

constexpr const char* kLicenceSubtitle = "在安装之前，请认真阅读许可协议：";
constexpr const char* kComponentsSubtitle = "请选择安装组件：";
constexpr const char* kPrevScreen = "上一页";
constexpr const char* kNextScreen = "下一页";
constexpr const char* kAgree = "同意";
constexpr const char* kDisagree = "不同意";

// The fixed pieces of the licence screens.
constexpr const char* kLicenceTitle = "             Tavrin批打印软件最终用户许可协议\n\n";
constexpr const char* kNoticeStart = "重要须知━请认真阅读：";
constexpr const char* kAgreementHeading = "软件产品许可协议\n\n";
constexpr const char* kCopyrightHeading = "1．版权\n\n";
constexpr const char* kWarrantyHeading = "2．保证否认书\n\n";
constexpr const char* kAppraisalHeading = "3．鉴定\n\n";
constexpr const char* kAuthorisationHeading = "4、个别授权\n\n";

constexpr const char* kDefaultPath = "C:\\Tavrin";
// Appended to the chosen folder: the install folder.
constexpr const char* kInstallSubfolder = "\\Tavrin批打印软件";

// The install run's copy-failure box; %s is the destination path.
constexpr const char* kInstallCaption = "Tavrin软件安装";
constexpr const char* kCopyFailedFormat =
    "拷贝文件 %s 失败，可能原因如下：\n\n1、AutoCAD未关闭\n\n2、系统权限未开放，请以管理者权限登陆系统";

// The location page's refusals of a folder text: for ";" %s is the text; for
// a text too long the %d are the folder's bytes and the most it may have.
constexpr const char* kFolderHasSemicolonFormat =
    "安装路径中不能含有分号（;）：\n\n%s\n\nAutoCAD 用分号分隔它信任的各个文件夹。请重新选择安装路径。";
constexpr const char* kFolderTooLongFormat =
    "安装路径太长：所选文件夹的路径有 %d 个字节，最多只能有 %d 个字节（一个汉字占两个字节）。\n\n请选择较短的路径。";
// Shown for an empty folder text where the system has no text of its own for
// an invalid argument.
constexpr const char* kInternalError = "内部应用程序出错。";

// The folder picker: its caption, and its three messages (%s is the path),
// captioned with the program file's name without extension.
constexpr const char* kPickerCaption = "请选择安装目录：";
constexpr const char* kAppName = "SetUp";
constexpr const char* kFolderMissingFormat =
    "The folder:\n\n%s\n\ndoes not exist. Do you want the folder to be created?";
constexpr const char* kFolderInvalidFormat = "The folder:\n\n%s\n\nis invalid. Please reenter.";
constexpr const char* kFolderCannotCreateFormat = "The folder:\n\n%s\n\ncan not be created. Please double check.";

// The finish page.
constexpr const char* kFinishText = "安装完成！\n\n重启AutoCAD，在AutoCAD菜单尾部会有以下菜单：";
constexpr const char* kFinishOk = "确  定";

}  // namespace tavrin::gui::texts
