#pragma once

#include "serialconfig/uPageViews.h"
#include "serialconfig/uRegisterMap.h"
#include "serialconfig/uSerialPageContext.h"

#include <array>
#include <functional>
#include <optional>

// The Configuration page of a serial transmitter: protocol, baud rate and
// address, the computed quantity, the units, the display options and the
// pressure used for the computed quantities.
//
// Controls (objectNames): tabConfig; gbCComm with cbCProtocol, cbCBaudRate,
// pbssCAddr, eCAddr; gbCQuantities with cbCCompQuan, cbCTempUnit,
// cbCPressUnit, cbCCO2Value, pbssAtmPress and its unit label lAtmPressUnit;
// gbCDisplay with chDispOn, chDispTemp, chDispPress, chDispCO2, chDispRelHum,
// chDispCompQuan; gbCAlarms and the frames fPressAlt and fAlt2Pre, laid out
// by their own units through Extensions. A caption label follows its control.
class TConfigPageModel {
public:
    // The altitude frames report what they show, for the pressure unit rule.
    struct TAltitudeFramesShown {
        bool Compensation = false;  // fPressAlt
        bool Altitude = false;      // fAlt2Pre
    };
    // Parts of the page laid out by their own units. Unset, they stay hidden.
    struct TExtensions {
        // Lays out and, with fill, loads the pressure compensation and
        // altitude frames for the selected pressure unit.
        std::function<TAltitudeFramesShown(bool fill, quint8 pressUnit, quint8 previousPressUnit)>
            LayoutAltitudeFrames;
        // Lays out the alarm limits of a transmitter behind an Ethernet
        // module; true when the group is shown.
        std::function<bool(bool fill)> LayoutAlarms;
    };

    explicit TConfigPageModel(const TSerialPageContext &context);
    TConfigPageModel(const TConfigPageModel &) = delete;
    TConfigPageModel &operator=(const TConfigPageModel &) = delete;

    // With fill, loads the page from the identification results and the
    // images; without, re-lays it out after a user change.
    TPageResponse LayoutConfigPage(bool fill);

    // User actions.
    TPageResponse cbCProtocolSelect(int index);
    TPageResponse cbCBaudRateSelect(int index);
    TPageResponse eCAddrChange(const QString &text);
    TPageResponse cbCCompQuanSelect(int index);
    // Both unit combos: cbCTempUnit and cbCPressUnit.
    TPageResponse cbUnitSelect(const QString &comboName, int index);
    TPageResponse cbCCO2ValueSelect(int index);
    TPageResponse chDispOnClick(bool checked);
    // The other display boxes.
    TPageResponse chDispClick(const QString &boxName, bool checked);
    // The Save rule of the numeric edits pbssCAddr and pbssAtmPress.
    TPageResponse ComponentEnter(const QString &editName);
    TPageResponse ComponentChange(const QString &editName, double value);
    TPageResponse ComponentExit(const QString &editName);

    // Selections, as the other pages and Save read them.
    quint8 SelectedProtocolType() const;      // 0 when none
    quint8 SelectedComputedQuantity() const;  // 0 when hidden, dew point when none
    quint8 SelectedTempUnit() const;          // 1 when none
    quint8 SelectedPressUnit() const;         // 1 when none
    // The values the last layout pass went by.
    quint8 ComputedQuantityTag() const { return quint8(compQuan_.Tag); }
    quint8 TempUnitTag() const { return quint8(tempUnit_.Tag); }
    quint8 PressUnitTag() const { return quint8(pressUnit_.Tag); }

    // What Save Changes stores.
    // The protocol chosen: the protocol combo's when it is shown, else connected.
    quint8 ChosenProtocolType() const;
    // The baud rate selected (the connected one when none is).
    quint32 SelectedBaudRate() const;
    bool BaudRateShown() const { return baudRate_.Visible; }
    bool CharAddressShown() const { return charAddr_.Visible; }
    bool NumericAddressShown() const { return numAddr_.Visible; }
    QString CharAddressText() const { return charAddr_.Text; }
    double NumericAddress() const { return numAddr_.Value; }
    bool ComputedQuantityShown() const { return compQuan_.Visible; }
    bool TempUnitShown() const { return tempUnit_.Visible; }
    bool PressUnitShown() const { return pressUnit_.Visible; }
    bool CO2ValueShown() const { return co2Value_.Visible; }
    quint8 SelectedCO2Interpretation() const;
    bool ComputedPressureShown() const { return atmPress_.Visible; }
    // The exact pressure for the computed quantities, in the selected unit.
    double ComputedPressure() const { return atmPress_.Value; }
    // Sets or clears the bit of every display box shown (and enabled).
    void StoreDisplayBits(TConfigWord &word) const;

    const TControlRegistry &Controls() const { return controls_; }

    TExtensions Extensions;
    // Fired by a layout pass that changed the computed quantity or a unit,
    // before the pass takes them over: the Output channels (and the relay
    // page) re-lay out against the previous choice.
    std::function<void()> OnQuantityChoiceChanged;

private:
    struct TDisplayBox {
        TCheckBoxView View;
        TConfigBit Bit;
    };
    enum TDisplayIndex { DispOn, DispTemp, DispPress, DispCO2, DispRelHum, DispCompQuan, DisplayBoxCount };

    void RegisterControls();
    void RebuildProtocolList();
    void LayoutForProtocol(quint8 protocolType);
    void LoadValues();
    void LoadAddress();
    void LayoutQuantitiesGroup(bool fill);
    void LayoutComputedPressure(bool fill);
    void LayoutDisplayGroup();
    void LayoutContainers();
    bool QuantityChoiceChanged() const;
    void StoreTags();
    TComboBoxView *UnitCombo(const QString &comboName);
    void ShowOlderFirmwareInfo(const TComboBoxView &combo) const;
    TNumEditView &NumericEdit(const QString &editName);
    TDisplayBox &DisplayBox(const QString &boxName);

    const TSerialPageContext &ctx_;
    TControlRegistry controls_;

    TContainerView tab_;
    TContainerView commGroup_;
    TContainerView quantitiesGroup_;
    TContainerView displayGroup_;
    TContainerView alarmsGroup_;
    TContainerView pressAltFrame_;
    TContainerView alt2PreFrame_;
    TComboBoxView protocol_;
    TComboBoxView baudRate_;
    TNumEditView numAddr_;
    TTextEditView charAddr_;
    TComboBoxView compQuan_;
    TComboBoxView tempUnit_;
    TComboBoxView pressUnit_;
    TComboBoxView co2Value_;
    TNumEditView atmPress_;
    TLabelView atmPressUnit_;
    std::array<TDisplayBox, DisplayBoxCount> display_;
};
