#pragma once

#include "shell/uMessages.h"

#include <QList>

// Records every message box and answers from a queue; with an empty queue a
// box returns its default result. Installed for its lifetime.
class TScriptedMessages final : public IMessagePresenter {
public:
    TScriptedMessages();
    ~TScriptedMessages() override;

    int Show(const TMessageRequest &request) override;
    void ShowJumperPicture(int picture) override { jumperPictures.append(picture); }

    // Queues the result of the next box.
    void Answer(int result) { answers_.append(result); }
    // The texts of the boxes shown so far.
    QStringList Texts() const;
    void Clear() { shown.clear(); }

    QList<TMessageRequest> shown;
    QList<int> jumperPictures;

private:
    QList<int> answers_;
    IMessagePresenter *previous_ = nullptr;
};
