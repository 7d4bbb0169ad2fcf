#include "toolkit/VxGraphics.h"

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::RegisterChanges(TChangeLink *link)
{
    if (link && !FLinks.contains(link))
        FLinks.append(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink *link)
{
    FLinks.removeAll(link);
}

void TCustomImageList::Change()
{
    if (FUpdateCount > 0)
        return;
    NotifyLinks();
}

void TCustomImageList::BeginUpdate()
{
    ++FUpdateCount;
}

void TCustomImageList::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    // Switching the update state off announces the change.
    if (--FUpdateCount == 0)
        NotifyLinks();
}

void TCustomImageList::NotifyLinks()
{
    const QList<TChangeLink *> links = FLinks;
    for (TChangeLink *link : links)
        if (link->OnChange)
            link->OnChange();
}

bool SwapImageListReference(QObject *owner, TCustomImageList *newValue, TCustomImageList *&field,
                            TChangeLink *changeLink)
{
    if (newValue == field || !owner)
        return false;
    if (field && changeLink)
        field->UnRegisterChanges(changeLink);
    SwapComponentReference(owner, newValue, field);
    if (newValue && changeLink)
        newValue->RegisterChanges(changeLink);
    return true;
}
