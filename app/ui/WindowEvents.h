#pragma once
// Clicks on widgets that have no click of their own, and modal showing for the program's small
// windows (plain QWidget forms, not dialogs).
#include <functional>

class QWidget;

namespace WindowEvents {

// Calls handler when the left button is pressed and released over widget.
void OnClick(QWidget *widget, std::function<void()> handler);

// Shows window modal to the whole application and returns once it is hidden or gone.
void ShowModal(QWidget *window, QWidget *owner = nullptr);

} // namespace WindowEvents
