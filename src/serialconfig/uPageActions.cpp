#include "serialconfig/uPageActions.h"

#include "shell/uErrors.h"

namespace {

[[noreturn]] void RaiseNoHandler(const QString &name)
{
    throw ERangeError(QStringLiteral("no handler for control %1").arg(name));
}

// cbMeasQuan1 and cbMeasQuan2 tell their channel by the last character.
int ChannelOfCombo(const QString &name)
{
    const QString prefix = QStringLiteral("cbMeasQuan");
    if (name.size() != prefix.size() + 1 || !name.startsWith(prefix))
        RaiseNoHandler(name);
    const int channel = name.back().digitValue();
    if (channel < 1 || channel > TOutputPageModel::ChannelCount)
        RaiseNoHandler(name);
    return channel;
}

bool IsLimitEdit(const QString &name)
{
    return ParseLimitEditName(name).has_value();
}

} // namespace

// ---------------------------------------------------------------------------
// Output page.

TPageResponse TOutputPageActions::ComboSelected(const QString &name, int index)
{
    return model_.cbMeasQuanSelect(ChannelOfCombo(name), index);
}

TPageResponse TOutputPageActions::CheckBoxClicked(const QString &name, bool)
{
    RaiseNoHandler(name);
}

TPageResponse TOutputPageActions::TextEdited(const QString &name, const QString &)
{
    RaiseNoHandler(name);
}

TPageResponse TOutputPageActions::NumEditEnter(const QString &name)
{
    return IsLimitEdit(name) ? model_.pbssOutputEnter(name) : model_.ComponentEnter(name);
}

TPageResponse TOutputPageActions::NumEditChange(const QString &name, double value)
{
    return IsLimitEdit(name) ? model_.pbssOutputChange(name, value) : model_.ComponentChange(name, value);
}

TPageResponse TOutputPageActions::NumEditExit(const QString &name, TFocusTarget focus)
{
    return IsLimitEdit(name) ? model_.pbssOutputExit(name, focus) : model_.ComponentExit(name);
}

// ---------------------------------------------------------------------------
// Configuration page.

TPageResponse TConfigPageActions::ComboSelected(const QString &name, int index)
{
    if (name == QLatin1String("cbCProtocol"))
        return model_.cbCProtocolSelect(index);
    if (name == QLatin1String("cbCBaudRate"))
        return model_.cbCBaudRateSelect(index);
    if (name == QLatin1String("cbCCompQuan"))
        return model_.cbCCompQuanSelect(index);
    if (name == QLatin1String("cbCTempUnit") || name == QLatin1String("cbCPressUnit"))
        return model_.cbUnitSelect(name, index);
    if (name == QLatin1String("cbCCO2Value"))
        return model_.cbCCO2ValueSelect(index);
    RaiseNoHandler(name);
}

TPageResponse TConfigPageActions::CheckBoxClicked(const QString &name, bool checked)
{
    if (name == QLatin1String("chDispOn"))
        return model_.chDispOnClick(checked);
    return model_.chDispClick(name, checked);
}

TPageResponse TConfigPageActions::TextEdited(const QString &name, const QString &text)
{
    if (name != QLatin1String("eCAddr"))
        RaiseNoHandler(name);
    return model_.eCAddrChange(text);
}

TPageResponse TConfigPageActions::NumEditEnter(const QString &name)
{
    return model_.ComponentEnter(name);
}

TPageResponse TConfigPageActions::NumEditChange(const QString &name, double value)
{
    return model_.ComponentChange(name, value);
}

TPageResponse TConfigPageActions::NumEditExit(const QString &name, TFocusTarget)
{
    // The Configuration page's edits keep no rule about where the focus goes.
    return model_.ComponentExit(name);
}
