#pragma once

#include <QDialog>

// Base of the frameless dialogs: sets the frameless dialog flags and paints
// the kit background below the title bar. Put a vbTitleBar at the top of the
// layout.
class vbKitDialog : public QDialog
{
    Q_OBJECT
public:
    explicit vbKitDialog(QWidget* parent = nullptr, int topInset = 31);

    int topInset() const { return m_topInset; }
    void setTopInset(int inset);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_topInset;
};
