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

}  // namespace tavrin::gui::texts
