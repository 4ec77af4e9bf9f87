#pragma once

class QWidget;

// Puts a top-level window at the centre of the desktop it will appear on.
void CentreOnDesktop(QWidget* window);

// Shows a top-level window in front and focused; a window left minimised
// comes back in its normal state.
void ShowInFront(QWidget* window);
