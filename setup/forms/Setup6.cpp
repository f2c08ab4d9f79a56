// The uninstallation's progress form: its work named, its count and gauge
// set, and its close box refused.
#include "setup/forms/Setup6.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "runtime/Format.h"
#include "runtime/ResStrings.h"

const TClassInfo& TForm6::StaticClassInfo()
{
    static const TClassInfo info = ClassInfoBuilder<TForm6, TForm>("TForm6")
        .Field<&TForm6::Gauge1>("Gauge1")
        .Field<&TForm6::Label1>("Label1")
        .Field<&TForm6::Label2>("Label2")
        .Method<TCloseEvent, &TForm6::Form6Close>("Form6Close")
        .Build();
    return info;
}

void TForm6::Form6Close(TObject*, TCloseAction& action)
{
    // NOTE: the work it shows cannot stop half way; the form goes when the
    // work is done, and closing it before would only hide what is going on.
    action = caNone;
}

void TForm6::ShowWork(const std::string& work)
{
    Label1->SetCaption(work);
}

void TForm6::ShowCount(size_t done, size_t total)
{
    // The gauge's range is a 32-bit one; a count beyond it is shown to scale.
    constexpr size_t widest = INT32_MAX;
    const size_t scale = total > widest ? total / widest + 1 : 1;
    Gauge1->SetMaxValue(static_cast<int32_t>(total / scale));
    Gauge1->SetProgress(static_cast<int32_t>(std::min(done, total) / scale));
    Label2->SetCaption(Format(LoadResString(StrId::SProgressCount), {GroupedCount(done), GroupedCount(total)}));
}

std::string GroupedCount(size_t count)
{
    const std::string digits = std::to_string(count);
    // The user's separator of digit groups; the groups are of three.
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, sizeof separator) == 0)
        return digits;
    char decimal[] = ".";
    NUMBERFMTA format = {};
    format.NumDigits = 0;
    format.LeadingZero = 0;
    format.Grouping = 3;
    format.lpDecimalSep = decimal;
    format.lpThousandSep = separator;
    format.NegativeOrder = 1;
    char grouped[64] = {};
    if (GetNumberFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format, grouped, sizeof grouped) == 0)
        return digits;
    return grouped;
}
