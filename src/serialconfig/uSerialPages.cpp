#include "serialconfig/uSerialPages.h"

TSerialConfigPages::TSerialConfigPages(const TSerialPageContext &context)
    : context_(context), config_(context_), output_(context_, config_)
{
    config_.OnQuantityChoiceChanged = [this] { QuantityChoiceChanged(); };
}

TPageResponse TSerialConfigPages::Fill()
{
    TPageResponse response = config_.LayoutConfigPage(true);
    for (int channel = 1; channel <= TOutputPageModel::ChannelCount; ++channel)
        output_.LayoutOutputChannel(channel, true);
    return response;
}

void TSerialConfigPages::AddQuantityChoiceListener(std::function<void()> listener)
{
    listeners_.push_back(std::move(listener));
}

void TSerialConfigPages::QuantityChoiceChanged()
{
    for (int channel = 1; channel <= TOutputPageModel::ChannelCount; ++channel)
        output_.LayoutOutputChannel(channel, false);
    for (const auto &listener : listeners_)
        listener();
}
