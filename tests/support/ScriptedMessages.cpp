#include "support/ScriptedMessages.h"

#include <QStringList>

TScriptedMessages::TScriptedMessages() : previous_(MessagePresenter())
{
    SetMessagePresenter(this);
}

TScriptedMessages::~TScriptedMessages()
{
    SetMessagePresenter(previous_);
}

int TScriptedMessages::Show(const TMessageRequest &request)
{
    shown.append(request);
    if (answers_.isEmpty())
        return request.defaultResult;
    return answers_.takeFirst();
}

QStringList TScriptedMessages::Texts() const
{
    QStringList texts;
    for (const TMessageRequest &r : shown)
        texts.append(r.text);
    return texts;
}
