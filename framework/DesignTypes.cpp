// The names the stored designs use for colours, character sets and the
// enumerations of fonts, forms, dialogs and Program Manager groups, translated
// to and from their values.
#include "framework/DesignTypes.h"

const TIntTypeInfo& IntTypeOf(TColor)
{
    static const TIntTypeInfo info{"TColor",
                                   {
                                       {clBlack, "clBlack"},
                                       {clMaroon, "clMaroon"},
                                       {clGreen, "clGreen"},
                                       {clOlive, "clOlive"},
                                       {clNavy, "clNavy"},
                                       {clPurple, "clPurple"},
                                       {clTeal, "clTeal"},
                                       {clGray, "clGray"},
                                       {clSilver, "clSilver"},
                                       {clRed, "clRed"},
                                       {clLime, "clLime"},
                                       {clYellow, "clYellow"},
                                       {clBlue, "clBlue"},
                                       {clFuchsia, "clFuchsia"},
                                       {clAqua, "clAqua"},
                                       {clWhite, "clWhite"},
                                       {clScrollBar, "clScrollBar"},
                                       {clBackground, "clBackground"},
                                       {clActiveCaption, "clActiveCaption"},
                                       {clInactiveCaption, "clInactiveCaption"},
                                       {clMenu, "clMenu"},
                                       {clWindow, "clWindow"},
                                       {clWindowFrame, "clWindowFrame"},
                                       {clMenuText, "clMenuText"},
                                       {clWindowText, "clWindowText"},
                                       {clCaptionText, "clCaptionText"},
                                       {clActiveBorder, "clActiveBorder"},
                                       {clInactiveBorder, "clInactiveBorder"},
                                       {clAppWorkSpace, "clAppWorkSpace"},
                                       {clHighlight, "clHighlight"},
                                       {clHighlightText, "clHighlightText"},
                                       {clBtnFace, "clBtnFace"},
                                       {clBtnShadow, "clBtnShadow"},
                                       {clGrayText, "clGrayText"},
                                       {clBtnText, "clBtnText"},
                                       {clInactiveCaptionText, "clInactiveCaptionText"},
                                       {clBtnHighlight, "clBtnHighlight"},
                                       {cl3DDkShadow, "cl3DDkShadow"},
                                       {cl3DLight, "cl3DLight"},
                                       {clInfoText, "clInfoText"},
                                       {clInfoBk, "clInfoBk"},
                                       {clNone, "clNone"},
                                   }};
    return info;
}

const TIntTypeInfo& IntTypeOf(TFontCharset)
{
    static const TIntTypeInfo info{"TFontCharset",
                                   {
                                       {0, "ANSI_CHARSET"},
                                       {1, "DEFAULT_CHARSET"},
                                       {2, "SYMBOL_CHARSET"},
                                       {77, "MAC_CHARSET"},
                                       {128, "SHIFTJIS_CHARSET"},
                                       {129, "HANGEUL_CHARSET"},
                                       {130, "JOHAB_CHARSET"},
                                       {134, "GB2312_CHARSET"},
                                       {136, "CHINESEBIG5_CHARSET"},
                                       {161, "GREEK_CHARSET"},
                                       {162, "TURKISH_CHARSET"},
                                       {163, "VIETNAMESE_CHARSET"},
                                       {177, "HEBREW_CHARSET"},
                                       {178, "ARABIC_CHARSET"},
                                       {186, "BALTIC_CHARSET"},
                                       {204, "RUSSIAN_CHARSET"},
                                       {222, "THAI_CHARSET"},
                                       {238, "EASTEUROPE_CHARSET"},
                                       {255, "OEM_CHARSET"},
                                   }};
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TFontStyle>()
{
    static const TEnumTypeInfo info =
        EnumType<fsStrikeOut>("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TFormBorderStyle>()
{
    static const TEnumTypeInfo info = EnumType<bsSizeToolWin>(
        "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TBorderIcon>()
{
    static const TEnumTypeInfo info =
        EnumType<biHelp>("TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TFormStyle>()
{
    static const TEnumTypeInfo info =
        EnumType<fsStayOnTop>("TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TPosition>()
{
    static const TEnumTypeInfo info = EnumType<poScreenCenter>(
        "TPosition", {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TWindowState>()
{
    static const TEnumTypeInfo info = EnumType<wsMaximized>("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TFileEditStyle>()
{
    static const TEnumTypeInfo info = EnumType<fsComboBox>("TFileEditStyle", {"fsEdit", "fsComboBox"});
    return info;
}

template <>
const TEnumTypeInfo& EnumTypeOf<TActivateType>()
{
    static const TEnumTypeInfo info = EnumType<iconizeNoActivate>(
        "TActivateType", {"activateNormalSize", "activateAndIconize", "activateMaximize", "iconizeNoActivate"});
    return info;
}
