#pragma once

#include "serialconfig/uConfigPageModel.h"
#include "serialconfig/uOutputPageModel.h"
#include "serialconfig/uSerialPageContext.h"

#include <functional>
#include <vector>

// The configuration pages of one connected serial transmitter, kept from its
// identification to its disconnection. The pages follow one another: a new
// computed quantity or unit on the Configuration page re-lays out the Output
// channels (and the pages that join later) before the Configuration page
// takes the new choice over.
class TSerialConfigPages {
public:
    explicit TSerialConfigPages(const TSerialPageContext &context);
    TSerialConfigPages(const TSerialConfigPages &) = delete;
    TSerialConfigPages &operator=(const TSerialConfigPages &) = delete;

    const TSerialPageContext &Context() const { return context_; }
    TConfigPageModel &Config() { return config_; }
    const TConfigPageModel &Config() const { return config_; }
    TOutputPageModel &Output() { return output_; }
    const TOutputPageModel &Output() const { return output_; }

    // Loads both pages from the device: the Configuration page first, since
    // the Output channels show its units.
    TPageResponse Fill();

    // The relay page joins here: it is laid out again, after the Output
    // channels, whenever the computed quantity or a unit changes.
    void AddQuantityChoiceListener(std::function<void()> listener);

private:
    void QuantityChoiceChanged();

    const TSerialPageContext context_;
    TConfigPageModel config_;
    TOutputPageModel output_;
    std::vector<std::function<void()>> listeners_;
};
