#pragma once

#include <QWidget>

// The help window. Created hidden at start-up; closing it only hides it.
class TyardimF : public QWidget {
    Q_OBJECT
public:
    explicit TyardimF(QWidget* parent = nullptr);
};
