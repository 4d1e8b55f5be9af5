// The identifiers of the three windows and their controls and menu items,
// as the routines, the layouts and the bindings name them, and the maker's
// web site, which the About window shows and its menu item opens.
#pragma once

#include <cstdint>

namespace main_window {
inline constexpr uint32_t kId = 0x52010001;
inline constexpr uint32_t 时钟1 = 0x16010009;
inline constexpr uint32_t 显示时间标签 = 0x1601007D;

inline constexpr uint32_t 菜单 = 0x2601121A;
inline constexpr uint32_t 开始计时菜单 = 0x2601121B;
inline constexpr uint32_t 归零菜单 = 0x2601121C;
inline constexpr uint32_t 输入时间菜单 = 0x26011276;
inline constexpr uint32_t 显示设置选项菜单 = 0x2601121E;
inline constexpr uint32_t 半透明菜单 = 0x26011221;
inline constexpr uint32_t 到时后鼓掌菜单 = 0x26011222;
inline constexpr uint32_t 警告音菜单 = 0x26011223;
inline constexpr uint32_t 自动隐藏菜单 = 0x26011224;
inline constexpr uint32_t 访问官网菜单 = 0x260112CD;
inline constexpr uint32_t 关于软件菜单 = 0x260112CE;
inline constexpr uint32_t 关闭菜单 = 0x26011226;
}  // namespace main_window

namespace settings_window {
inline constexpr uint32_t kId = 0x520112C1;
inline constexpr uint32_t 标签7 = 0x1601131E;
inline constexpr uint32_t 外形框1 = 0x160112C2;
inline constexpr uint32_t 开始计时按钮 = 0x160112CB;
inline constexpr uint32_t 时间归零按钮 = 0x160112CC;
inline constexpr uint32_t 标签1 = 0x160112C9;
inline constexpr uint32_t 时间编辑框 = 0x160112CA;
inline constexpr uint32_t 标签2 = 0x160112C8;
inline constexpr uint32_t 关闭程序按钮 = 0x160112C3;
inline constexpr uint32_t 隐藏按钮 = 0x16011335;
inline constexpr uint32_t 半透明选择框 = 0x160112C6;
inline constexpr uint32_t 到时后鼓掌选择框 = 0x160112C5;
inline constexpr uint32_t 警告音选择框 = 0x160112C4;
inline constexpr uint32_t 自动隐藏选择框 = 0x160112C7;
inline constexpr uint32_t 标签3 = 0x160112D0;
inline constexpr uint32_t 窗口宽度编辑框 = 0x16011337;
inline constexpr uint32_t 标签8 = 0x16011339;
inline constexpr uint32_t 窗口高度编辑框 = 0x1601133A;
inline constexpr uint32_t 标签4 = 0x160112F0;
inline constexpr uint32_t 字体大小编辑框 = 0x16011338;
inline constexpr uint32_t 标签5 = 0x160112F3;
inline constexpr uint32_t 背景颜色选择器 = 0x160112F2;
inline constexpr uint32_t 标签6 = 0x160112F4;
inline constexpr uint32_t 文字颜色选择器 = 0x160112F5;
}  // namespace settings_window

namespace about_window {
inline constexpr uint32_t kId = 0x52011370;
inline constexpr uint32_t 标签7 = 0x1601137F;
inline constexpr uint32_t 外形框1 = 0x16011381;
inline constexpr uint32_t 图片框1 = 0x16011385;
inline constexpr uint32_t 关闭程序按钮 = 0x16011382;
inline constexpr uint32_t 透明标签7 = 0x16011387;
inline constexpr uint32_t 透明标签2 = 0x16011383;
inline constexpr uint32_t 超级链接框2 = 0x16011384;
inline constexpr uint32_t 透明标签4 = 0x1601138A;
inline constexpr uint32_t 超级链接框1 = 0x16011386;
inline constexpr uint32_t 透明标签5 = 0x16011389;
inline constexpr uint32_t 透明标签6 = 0x16011388;
inline constexpr uint32_t 透明标签1 = 0x1601138B;
}  // namespace about_window

// The maker's addresses and numbers in the About window are made up: the
// top-level domains are those kept for tests and examples, the numbers zeros.
inline constexpr char kWebSiteAddress[] = "http://www.lanke.test";
