#pragma once

class QWidget;

// Puts a top-level window at the centre of the desktop it will appear on.
void CentreOnDesktop(QWidget* window);
