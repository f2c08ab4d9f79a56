// The types of the values that the stored designs give colours, fonts, forms,
// dialogs and Program Manager groups. They know no windows, so that the build machine's tools read
// the designs' values with the program's own types.
#pragma once

#include <cstdint>

#include "framework/TypeInfo.h"

// ---------------------------------------------------------------------------
// Colours: an RGB colour as 0x00BBGGRR, or a system colour as 0x80000000 plus
// the platform's system colour index.

enum TColor : int32_t {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,
    clScrollBar = static_cast<int32_t>(0x80000000),
    clBackground = static_cast<int32_t>(0x80000001),
    clActiveCaption = static_cast<int32_t>(0x80000002),
    clInactiveCaption = static_cast<int32_t>(0x80000003),
    clMenu = static_cast<int32_t>(0x80000004),
    clWindow = static_cast<int32_t>(0x80000005),
    clWindowFrame = static_cast<int32_t>(0x80000006),
    clMenuText = static_cast<int32_t>(0x80000007),
    clWindowText = static_cast<int32_t>(0x80000008),
    clCaptionText = static_cast<int32_t>(0x80000009),
    clActiveBorder = static_cast<int32_t>(0x8000000A),
    clInactiveBorder = static_cast<int32_t>(0x8000000B),
    clAppWorkSpace = static_cast<int32_t>(0x8000000C),
    clHighlight = static_cast<int32_t>(0x8000000D),
    clHighlightText = static_cast<int32_t>(0x8000000E),
    clBtnFace = static_cast<int32_t>(0x8000000F),
    clBtnShadow = static_cast<int32_t>(0x80000010),
    clGrayText = static_cast<int32_t>(0x80000011),
    clBtnText = static_cast<int32_t>(0x80000012),
    clInactiveCaptionText = static_cast<int32_t>(0x80000013),
    clBtnHighlight = static_cast<int32_t>(0x80000014),
    cl3DDkShadow = static_cast<int32_t>(0x80000015),
    cl3DLight = static_cast<int32_t>(0x80000016),
    clInfoText = static_cast<int32_t>(0x80000017),
    clInfoBk = static_cast<int32_t>(0x80000018),
    clNone = 0x1FFFFFFF,
};
const TIntTypeInfo& IntTypeOf(TColor);

// ---------------------------------------------------------------------------
// Fonts

// A character set number of a font, stored as its platform name where it has one.
enum TFontCharset : int32_t { ANSI_CHARSET_VALUE = 0, DEFAULT_CHARSET_VALUE = 1 };
const TIntTypeInfo& IntTypeOf(TFontCharset);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
template <>
const TEnumTypeInfo& EnumTypeOf<TFontStyle>();
using TFontStyles = TSet<TFontStyle>;

// ---------------------------------------------------------------------------
// Forms, dialogs and Program Manager groups

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
template <>
const TEnumTypeInfo& EnumTypeOf<TFormBorderStyle>();

enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
template <>
const TEnumTypeInfo& EnumTypeOf<TBorderIcon>();
using TBorderIcons = TSet<TBorderIcon>;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
template <>
const TEnumTypeInfo& EnumTypeOf<TFormStyle>();

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
template <>
const TEnumTypeInfo& EnumTypeOf<TPosition>();

enum TWindowState { wsNormal, wsMinimized, wsMaximized };
template <>
const TEnumTypeInfo& EnumTypeOf<TWindowState>();

// Kept with the component; the dialog this program shows looks the same
// either way.
enum TFileEditStyle { fsEdit, fsComboBox };
template <>
const TEnumTypeInfo& EnumTypeOf<TFileEditStyle>();


// How a Program Manager group's window is shown.
enum TActivateType { activateNormalSize, activateAndIconize, activateMaximize, iconizeNoActivate };
template <>
const TEnumTypeInfo& EnumTypeOf<TActivateType>();
