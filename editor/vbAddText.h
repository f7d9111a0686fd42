#pragma once

#include "vbKitDialog.h"

#include <QColor>
#include <QColorDialog>
#include <QFont>
#include <functional>

class QComboBox;
class QFontComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextCharFormat;
class vbClickLabel;
class vbPushButton;
class vbTitleBar;

// Asks for a text overlay: the text (optionally with the date and time), its
// font family, size, bold, underline, italic and colour. One format always
// covers the whole text. "Add Text" hands text, font and colour to the editor.
class vbAddText : public vbKitDialog
{
    Q_OBJECT
public:
    explicit vbAddText(QWidget* parent = nullptr);

    // The colour chooser, replaceable where no one can answer a modal dialog.
    // Returns an invalid colour when cancelled.
    using ColorPicker = std::function<QColor(const QColor& initial, QWidget* parent)>;
    void setColorPicker(ColorPicker picker);

    // Form children
    vbTitleBar* widget;
    QLabel* label_2;
    QFontComboBox* cbxFont;
    QLabel* label_3;
    QComboBox* cbxSize;
    QLabel* label_4;
    QPushButton* btnColor;
    vbClickLabel* lblInsertDate;
    QPushButton* btnBold;
    QPushButton* btnUnderline;
    QPushButton* btnItaly;
    QPlainTextEdit* textEdit;
    vbPushButton* btnOk;
    vbPushButton* btnCancel;

signals:
    void sig_addText(const QString& text, const QFont& f, const QColor& color);

public slots:
    void slot_currentFontChanged(const QFont& font);
    void slot_currentIndexChanged(int index);
    void slot_InsertDate();
    void slot_textChanged();
    void on_btnOk_clicked();
    void on_btnCancel_clicked();
    void on_btnBold_clicked();
    void on_btnUnderline_clicked();
    void on_btnItaly_clicked();
    void on_btnColor_clicked();

private:
    void setupUi();
    void retranslateUi();
    // Merges format into the whole text and into what is typed next.
    void mergeFormat(const QTextCharFormat& format);
    void showColor();

    QFont m_font;
    QString m_text;
    QColor m_color;
    ColorPicker m_colorPicker = [](const QColor& initial, QWidget* parent) {
        return QColorDialog::getColor(initial, parent);
    };
    // Typing re-applies colour and size, which is itself a change of the text.
    bool m_applyingTypedFormat = false;
};
