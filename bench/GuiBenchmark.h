#pragma once

#include <QEvent>
#include <QPoint>

class QWidget;

// A left-button press, move or release at a widget's point, delivered at
// once as a user's drag would deliver it.
void SendLeftDrag(QWidget* widget, QEvent::Type type, QPoint at);
