#include "app/layouts.h"

using namespace ui;

// The tables are laid out by hand, one control or item to a line or a block.
// clang-format off
namespace {

constexpr Colour kWhite = 0x00FFFFFF;
constexpr Colour kLime = 0x0000FF00;
constexpr Colour kGreen = 0x00008000;
constexpr Colour kBlack = 0x00000000;

constexpr FontSpec kTimeFont{"宋体", -96, 400, 134, 3, 2, 1, 2};

// ---- main window ----
namespace m = main_window;

constexpr ControlLayout kMainControls[] = {
    {.id = m::时钟1, .name = "时钟1", .kind = Kind::Timer, .flags = 0, .interval = 1000},
    {.id = m::显示时间标签,
     .name = "显示时间标签",
     .kind = Kind::Label,
     .width = 280,
     .height = 90,
     .caption = "00-00",
     .font = &kTimeFont,
     .textColour = kBlack,
     .border = Border::SingleLine,
     .hAlign = HAlign::Centre,
     .gradientMode = GradientMode::TopToBottom,
     .gradient = {kWhite, kLime, kWhite}},
};

constexpr MenuItemLayout kMainMenu[] = {
    {m::菜单, 0, "菜单", kMenuHidden},
    {m::开始计时菜单, 1, "开始计时", 0},
    {m::归零菜单, 1, "归零", 0},
    {m::输入时间菜单, 1, "输入时间", 0},
    {0x2601121D, 1, "-", 0},
    {m::显示设置选项菜单, 1, "显示设置选项", 0},
    {0x26011220, 1, "-", 0},
    {m::半透明菜单, 1, "半透明", 0},
    {m::到时后鼓掌菜单, 1, "到时后鼓掌", 0},
    {m::警告音菜单, 1, "警告音", 0},
    {m::自动隐藏菜单, 1, "自动隐藏", 0},
    {0x26011225, 1, "-", 0},
    {m::访问官网菜单, 1, "访问官网", 0},
    {m::关于软件菜单, 1, "关于软件", 0},
    {0x260112CF, 1, "-", 0},
    {m::关闭菜单, 1, "关闭", 0},
};


// ---- settings window ----
namespace s = settings_window;

constexpr uint8_t kTab = kVisible | kTabStop;

constexpr ControlLayout TitleLabel(uint32_t id, int width, const char* caption) {
  return {.id = id,
          .name = "标签7",
          .kind = Kind::Label,
          .width = width,
          .height = 24,
          .caption = caption,
          .textColour = kWhite,
          .border = Border::SingleLine,
          .gradientMode = GradientMode::TopToBottom,
          .gradient = {kLime, kGreen, kLime}};
}

constexpr ControlLayout BodyFrame(uint32_t id, int width, int height) {
  return {.id = id,
          .name = "外形框1",
          .kind = Kind::ShapeBox,
          .top = 23,
          .width = width,
          .height = height,
          .backColour = kWhite,
          .penColour = kBlack};
}

constexpr ControlLayout PlainLabel(uint32_t id, const char* name, int left, int top, int width,
                                   const char* caption) {
  return {.id = id, .name = name, .kind = Kind::Label, .container = s::外形框1, .left = left, .top = top,
          .width = width, .height = 24, .caption = caption, .backColour = kWhite};
}

constexpr ControlLayout PushButton(uint32_t id, const char* name, int left, int width, const char* caption,
                                   uint8_t flags = kTab, uint32_t container = s::外形框1, int top = 6) {
  return {.id = id, .name = name, .kind = Kind::Button, .container = container, .left = left, .top = top,
          .width = width, .height = 28, .caption = caption, .flags = flags, .hAlign = HAlign::Centre};
}

constexpr ControlLayout OptionCheckBox(uint32_t id, const char* name, int left, int width, const char* caption,
                                       bool checked) {
  return {.id = id, .name = name, .kind = Kind::CheckBox, .container = s::外形框1, .left = left, .top = 43,
          .width = width, .height = 16, .caption = caption,
          .flags = static_cast<uint8_t>(kTab | (checked ? kChecked : 0)), .backColour = kWhite};
}

constexpr ControlLayout SizeBox(uint32_t id, const char* name, int left, const char* caption) {
  return {.id = id, .name = name, .kind = Kind::EditBox, .container = s::外形框1, .left = left, .top = 69,
          .width = 39, .height = 20, .caption = caption, .flags = kTab, .backColour = kWhite,
          .border = Border::ShallowSunken, .hAlign = HAlign::Centre, .input = InputMode::Integer};
}

constexpr ControlLayout ColourPicker(uint32_t id, const char* name, int left, int top) {
  return {.id = id, .name = name, .kind = Kind::ColorPicker, .container = s::外形框1, .left = left, .top = top,
          .width = 92, .height = 20, .flags = kTab};
}

constexpr ControlLayout kSettingsControls[] = {
    TitleLabel(s::标签7, 330, " 选项设置窗口 [提示：用滚轮可以调节时间、宽高度及字体]"),
    BodyFrame(s::外形框1, 330, 125),
    PushButton(s::开始计时按钮, "开始计时按钮", 5, 70, "开始计时", kTab | kDisabled),
    PushButton(s::时间归零按钮, "时间归零按钮", 74, 38, "归零"),
    PlainLabel(s::标签1, "标签1", 121, 9, 56, "倒计时间："),
    {.id = s::时间编辑框, .name = "时间编辑框", .kind = Kind::EditBox, .container = s::外形框1, .left = 180,
     .top = 9, .width = 34, .height = 22, .caption = "1", .flags = kTab, .backColour = kWhite,
     .border = Border::SingleLine, .hAlign = HAlign::Centre, .input = InputMode::Decimal, .maxLength = 8},
    PlainLabel(s::标签2, "标签2", 217, 9, 24, "分钟"),
    PushButton(s::关闭程序按钮, "关闭程序按钮", 250, 38, "关闭"),
    PushButton(s::隐藏按钮, "隐藏按钮", 287, 38, "隐藏"),
    OptionCheckBox(s::半透明选择框, "半透明选择框", 8, 59, "半透明", false),
    OptionCheckBox(s::到时后鼓掌选择框, "到时后鼓掌选择框", 75, 80, "到时后鼓掌", true),
    OptionCheckBox(s::警告音选择框, "警告音选择框", 180, 56, "警告音", true),
    OptionCheckBox(s::自动隐藏选择框, "自动隐藏选择框", 251, 70, "自动隐藏", true),
    PlainLabel(s::标签3, "标签3", 8, 67, 56, "窗口宽度："),
    SizeBox(s::窗口宽度编辑框, "窗口宽度编辑框", 69, "280"),
    PlainLabel(s::标签8, "标签8", 121, 67, 56, "窗口高度："),
    SizeBox(s::窗口高度编辑框, "窗口高度编辑框", 180, "90"),
    PlainLabel(s::标签4, "标签4", 226, 67, 56, "字体大小："),
    SizeBox(s::字体大小编辑框, "字体大小编辑框", 284, "72"),
    PlainLabel(s::标签5, "标签5", 8, 96, 56, "背景颜色："),
    ColourPicker(s::背景颜色选择器, "背景颜色选择器", 69, 98),
    PlainLabel(s::标签6, "标签6", 174, 96, 56, "文字颜色："),
    ColourPicker(s::文字颜色选择器, "文字颜色选择器", 233, 100),
};


// ---- About window ----
namespace a = about_window;

constexpr Colour kLinkHover = 0x00C56A31;
constexpr Colour kLinkVisited = 0x00000080;
constexpr char kDashes[] = "------------------------------------------------------------";

constexpr ControlLayout Trans(uint32_t id, const char* name, int left, int top, int width, const char* caption,
                              TextEffect effect = TextEffect::None) {
  return {.id = id, .name = name, .kind = Kind::TransLabel, .container = a::外形框1, .left = left, .top = top,
          .width = width, .height = 16, .caption = caption, .effect = effect};
}

constexpr ControlLayout Link(uint32_t id, const char* name, int left, int top, int width, const char* caption,
                             LinkKind kind, const char* address) {
  return {.id = id, .name = name, .kind = Kind::HyperLinker, .container = a::外形框1, .left = left, .top = top,
          .width = width, .height = 16, .caption = caption, .textColour = kBlack, .backColour = kWhite,
          .hAlign = HAlign::Centre, .link = kind, .address = address, .hoverColour = kLinkHover,
          .visitedColour = kLinkVisited};
}

constexpr ControlLayout kAboutControls[] = {
    TitleLabel(a::标签7, 288, " 关于窗口   【澜珂倒计时】V1.0"),
    BodyFrame(a::外形框1, 288, 175),
    {.id = a::图片框1, .name = "图片框1", .kind = Kind::PicBox, .container = a::外形框1, .left = 1, .top = 1,
     .width = 216, .height = 70, .backColour = kWhite, .picture = kBannerResource},
    PushButton(a::关闭程序按钮, "关闭程序按钮", 237, 38, "关闭", kTab, a::外形框1, 22),
    Trans(a::透明标签7, "透明标签7", 1, 65, 285, kDashes, TextEffect::Engraved),
    Trans(a::透明标签2, "透明标签2", 25, 79, 40, "官网："),
    Link(a::超级链接框2, "超级链接框2", 61, 79, 140, kWebSiteAddress, LinkKind::Web,
         "http://www.lanke.example"),
    Trans(a::透明标签4, "透明标签4", 25, 100, 40, "信箱："),
    Link(a::超级链接框1, "超级链接框1", 61, 100, 87, "kf@lanke.test", LinkKind::Mail,
         "service@lanke.example"),
    Trans(a::透明标签5, "透明标签5", 25, 122, 200, "电话：010-00000000   QQ：00000"),
    Trans(a::透明标签6, "透明标签6", 2, 137, 284, kDashes, TextEffect::Engraved),
    Trans(a::透明标签1, "透明标签1", 176, 152, 99, "©2026 澜珂软件"),
};


}  // namespace

const WindowLayout kMainWindowLayout{
    .id = main_window::kId,
    .unitId = 0x06010000,
    .caption = "澜珂倒计时",
    .width = 280,
    .height = 142,
    .backColour = kWhite,
    .visible = true,
    .topmost = true,
    .inTaskbar = true,
    .dragMove = true,
    .controls = kMainControls,
    .menu = kMainMenu,
};

const WindowLayout kSettingsWindowLayout{
    .id = settings_window::kId,
    .unitId = 0x060112C0,
    .caption = "设置窗口",
    .width = 330,
    .height = 148,
    .backColour = kNoColour,
    .visible = false,
    .topmost = true,
    .inTaskbar = false,
    .dragMove = true,
    .controls = kSettingsControls,
    .menu = {},
};

const WindowLayout kAboutWindowLayout{
    .id = about_window::kId,
    .unitId = 0x06011371,
    .caption = "关于",
    .width = 288,
    .height = 198,
    .backColour = kNoColour,
    .visible = true,
    .topmost = true,
    .inTaskbar = true,
    .dragMove = true,
    .controls = kAboutControls,
    .menu = {},
};
// clang-format on
