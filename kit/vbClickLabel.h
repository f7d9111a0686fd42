#pragma once

#include <QLabel>

// A label that reports a mouse release on it as Clicked() while enabled.
class vbClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit vbClickLabel(QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
