#pragma once

#include "serialconfig/uConfigPageModel.h"
#include "serialconfig/uPageViews.h"
#include "serialconfig/uRegisterMap.h"
#include "serialconfig/uSerialPageContext.h"

#include <array>
#include <optional>

// The limit pairs of the Output page, one per quantity a channel can carry.
enum class TLimitKind { Temperature, Humidity, Pressure, CO2, Computed };
constexpr int LimitKindCount = 5;
enum class TLimitEnd { Lo, Hi };

// One limit edit: pbneTemperLo1 is {1, Temperature, Lo}.
struct TLimitEditId {
    int Channel = 1;
    TLimitKind Kind = TLimitKind::Temperature;
    TLimitEnd End = TLimitEnd::Lo;
};
QString LimitEditName(const TLimitEditId &id);
std::optional<TLimitEditId> ParseLimitEditName(const QString &name);

// The unit a limit register holds for the unit shown: °C and hPa, except on
// older analog firmware, which keeps the units it cannot convert as shown.
quint8 StoredTemperatureUnit(const TSerialPageContext &context, quint8 shownUnit);
quint8 StoredPressureUnit(const TSerialPageContext &context, quint8 shownUnit);

// The Output page: what the analog outputs represent. Both channels share
// one register pair per quantity, so each limit edit has a twin on the other
// channel that always holds the same value.
//
// Controls per channel n (objectNames): gbChannel n; cbMeasQuan n; the limit
// edits pbneTemperLo n/Hi n, pbneRelHumLo n/Hi n, pbneAtmPreLo n/Hi n,
// pbneCO2Lo n/Hi n, pbneCompQuanLo n/Hi n with the unit labels lQuanUnitLo n,
// lQuanUnitHi n; the output ends lOutMin n, lOut n (fixed upper end) or
// pbssOut n (upper voltage) with the unit labels lOutUnitLo n, lOutUnitHi n.
// Page-wide: tabOutput and the current-loop warning lBeware.
class TOutputPageModel {
public:
    static constexpr int ChannelCount = 2;

    TOutputPageModel(const TSerialPageContext &context, const TConfigPageModel &config);
    TOutputPageModel(const TOutputPageModel &) = delete;
    TOutputPageModel &operator=(const TOutputPageModel &) = delete;

    // With fill, loads the channel from the device type and the images;
    // without, follows the choices of the Configuration page and of the
    // channel's quantity combo.
    void LayoutOutputChannel(int channel, bool fill);

    // User actions.
    TPageResponse cbMeasQuanSelect(int channel, int index);
    // The limit edits, by objectName.
    TPageResponse pbssOutputEnter(const QString &editName);
    TPageResponse pbssOutputChange(const QString &editName, double value);
    // focus: the control that receives the focus.
    TPageResponse pbssOutputExit(const QString &editName, TFocusTarget focus);
    // The Save rule of the upper-voltage spins pbssOut1 and pbssOut2.
    TPageResponse ComponentEnter(const QString &editName);
    TPageResponse ComponentChange(const QString &editName, double value);
    TPageResponse ComponentExit(const QString &editName);

    // The quantity type the channel carries: the slot's type, the computed
    // quantity for the computed entry, 0 when nothing is selected.
    quint8 SelectedChannelQuantity(int channel) const;

    // What Save Changes stores.
    bool ChannelShown(int channel) const;
    // The exact limit of channel 1 (channel 2's twin holds the same).
    double Limit(TLimitKind kind, TLimitEnd end) const;
    double UpperVoltage(int channel) const;

    const TControlRegistry &Controls() const { return controls_; }

private:
    struct TLimitEdit {
        TNumEditView View;
        double Remembered = 0.0;  // the value when the user entered the edit
        TNumRange RememberedRange;
    };
    using TLimitPair = std::array<TLimitEdit, 2>;
    struct TChannel {
        TContainerView Group;
        TComboBoxView MeasQuan;
        std::array<TLimitPair, LimitKindCount> Limits;
        TLabelView LimitUnitLo;
        TLabelView LimitUnitHi;
        TLabelView OutMin;
        TLabelView Out;
        TNumEditView UpperV;
        TLabelView OutUnitLo;
        TLabelView OutUnitHi;
        int ComputedEntry = 0;  // the position of the computed-quantity entry
    };

    void RegisterControls();
    TChannel &Channel(int channel);
    const TChannel &Channel(int channel) const;
    TLimitPair &Pair(TChannel &channel, TLimitKind kind);
    TLimitEdit &Edit(const TLimitEditId &id);
    TLimitEditId EditId(const QString &editName) const;
    TNumEditView &UpperVoltageEdit(const QString &editName);

    void FillChannel(int n, TChannel &channel);
    void RebuildComputedEntry(TChannel &channel, quint8 computed, quint8 tempUnit);
    void LoadLimits(int n, TChannel &channel, quint8 computed, quint8 tempUnit, quint8 pressUnit);
    void SelectStoredQuantity(int n, TChannel &channel);
    void ShowQuantity(TChannel &channel, quint8 quantity, quint8 tempUnit, quint8 pressUnit);
    void ConvertPair(TChannel &channel, TLimitKind kind, quint8 fromUnit, quint8 toUnit);
    void SetPairRange(TChannel &channel, TLimitKind kind, TNumRange range, int decimals);
    void LoadPair(TChannel &channel, TLimitKind kind, const TOutputRangeRegisters &range, quint8 storedUnit,
                  quint8 shownUnit);

    bool TooSmallQuestionAccepted() const;
    void StoreLimit(const TLimitEditId &id, double value);

    const TSerialPageContext &ctx_;
    const TConfigPageModel &config_;
    TControlRegistry controls_;
    TContainerView tab_;
    TLabelView warning_;
    std::array<TChannel, ChannelCount> channels_;
};
