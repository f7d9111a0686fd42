#include "vbAddText.h"

#include "KitButtonFlags.h"
#include "vbClickLabel.h"
#include "vbKitStyle.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

QString trForm(const char* text)
{
    return QCoreApplication::translate("vbAddTextClass", text);
}

QPushButton* styleButton(QWidget* parent, const char* name, const char* text, const QFont& font)
{
    auto* button = new QPushButton(QLatin1String(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(25, 25);
    button->setFont(font);
    button->setCheckable(true);
    return button;
}

} // namespace

void vbAddText::setColorPicker(ColorPicker picker)
{
    m_colorPicker = std::move(picker);
}

vbAddText::vbAddText(QWidget* parent) : vbKitDialog(parent, 1)
{
    setupUi();
    connect(widget, &vbTitleBar::Closed, this, &vbAddText::on_btnCancel_clicked);
    connect(btnOk, &vbPushButton::Clicked, this, &vbAddText::on_btnOk_clicked);
    connect(btnCancel, &vbPushButton::Clicked, this, &vbAddText::on_btnCancel_clicked);

    btnColor->setFocusPolicy(Qt::NoFocus);
    btnColor->setPalette(QPalette(QColor(Qt::yellow)));
    btnColor->setAutoFillBackground(true);
    btnColor->setFlat(true);

    for (const char* size :
         {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"})
        cbxSize->addItem(QLatin1String(size));

    connect(cbxFont, &QFontComboBox::currentFontChanged, this, &vbAddText::slot_currentFontChanged);
    connect(cbxSize, &QComboBox::currentIndexChanged, this, &vbAddText::slot_currentIndexChanged);
    connect(lblInsertDate, &vbClickLabel::Clicked, this, &vbAddText::slot_InsertDate);
    connect(textEdit, &QPlainTextEdit::textChanged, this, &vbAddText::slot_textChanged);
    connect(btnBold, &QPushButton::clicked, this, &vbAddText::on_btnBold_clicked);
    connect(btnUnderline, &QPushButton::clicked, this, &vbAddText::on_btnUnderline_clicked);
    connect(btnItaly, &QPushButton::clicked, this, &vbAddText::on_btnItaly_clicked);
    connect(btnColor, &QPushButton::clicked, this, &vbAddText::on_btnColor_clicked);

    QTextCharFormat foreground;
    foreground.setForeground(QBrush(m_color));
    mergeFormat(foreground);
    cbxSize->setCurrentIndex(6);
}

void vbAddText::setupUi()
{
    setObjectName(QStringLiteral("vbAddText"));
    resize(354, 303);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(1);
    verticalLayout->setContentsMargins(1, 1, 1, 5);

    widget = new vbTitleBar(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setFixedHeight(30);
    widget->setButtons(CloseButton);
    verticalLayout->addWidget(widget);

    auto* horizontalLayout_3 = new QHBoxLayout();
    horizontalLayout_3->setContentsMargins(6, 4, 6, 2);
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    cbxFont = new QFontComboBox(this);
    cbxFont->setObjectName(QStringLiteral("cbxFont"));
    label_3 = new QLabel(this);
    label_3->setObjectName(QStringLiteral("label_3"));
    cbxSize = new QComboBox(this);
    cbxSize->setObjectName(QStringLiteral("cbxSize"));
    horizontalLayout_3->addWidget(label_2);
    horizontalLayout_3->addWidget(cbxFont, 1);
    horizontalLayout_3->addWidget(label_3);
    horizontalLayout_3->addWidget(cbxSize);
    verticalLayout->addLayout(horizontalLayout_3);

    auto* horizontalLayout_4 = new QHBoxLayout();
    horizontalLayout_4->setContentsMargins(6, 2, 6, 2);
    label_4 = new QLabel(this);
    label_4->setObjectName(QStringLiteral("label_4"));
    btnColor = new QPushButton(this);
    btnColor->setObjectName(QStringLiteral("btnColor"));
    btnColor->setFixedSize(25, 25);
    lblInsertDate = new vbClickLabel(this);
    lblInsertDate->setObjectName(QStringLiteral("lblInsertDate"));
    vbKit::applyLinkLook(lblInsertDate);
    horizontalLayout_4->addWidget(label_4);
    horizontalLayout_4->addWidget(btnColor);
    horizontalLayout_4->addStretch();
    horizontalLayout_4->addWidget(lblInsertDate);
    verticalLayout->addLayout(horizontalLayout_4);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setContentsMargins(6, 2, 6, 2);
    QFont bold(QStringLiteral("Arial"), 10);
    bold.setBold(true);
    QFont underline(QStringLiteral("Arial"), 10);
    underline.setUnderline(true);
    QFont italic(QStringLiteral("Arial"), 10);
    italic.setItalic(true);
    btnBold = styleButton(this, "btnBold", "B", bold);
    btnUnderline = styleButton(this, "btnUnderline", "U", underline);
    btnItaly = styleButton(this, "btnItaly", "I", italic);
    horizontalLayout_2->addWidget(btnBold);
    horizontalLayout_2->addWidget(btnUnderline);
    horizontalLayout_2->addWidget(btnItaly);
    horizontalLayout_2->addStretch();
    verticalLayout->addLayout(horizontalLayout_2);

    textEdit = new QPlainTextEdit(this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    auto* editRow = new QHBoxLayout();
    editRow->setContentsMargins(6, 2, 6, 4);
    editRow->addWidget(textEdit);
    verticalLayout->addLayout(editRow, 1);

    auto* horizontalLayout = new QHBoxLayout();
    horizontalLayout->setContentsMargins(6, 0, 6, 0);
    btnOk = new vbPushButton(this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setFixedSize(85, 25);
    btnOk->setCursor(Qt::PointingHandCursor);
    btnOk->setImages(QStringLiteral(":/Resources/ok.png"), QStringLiteral(":/Resources/ok_hover.png"));
    btnCancel = new vbPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setFixedSize(85, 25);
    btnCancel->setCursor(Qt::PointingHandCursor);
    btnCancel->setImages(QStringLiteral(":/Resources/cancel.png"),
                         QStringLiteral(":/Resources/cancel_hover.png"));
    horizontalLayout->addStretch();
    horizontalLayout->addWidget(btnOk);
    horizontalLayout->addWidget(btnCancel);
    verticalLayout->addLayout(horizontalLayout);

    retranslateUi();
}

void vbAddText::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("vbAddTextClass", "vbAddText"));
    widget->setTitle(trForm("add Text and Date"));
    label_2->setText(trForm("Family:"));
    label_3->setText(trForm("Size:"));
    label_4->setText(trForm("Color:"));
    lblInsertDate->setText(trForm("Insert Date"));
    btnOk->setText(trForm("Add Text"));
    btnCancel->setText(trForm("Close"));
}

void vbAddText::mergeFormat(const QTextCharFormat& format)
{
    QTextCursor cursor = textEdit->textCursor();
    const int position = cursor.position();
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(format);
    cursor.clearSelection();
    cursor.setPosition(position);
    textEdit->setTextCursor(cursor);
    textEdit->mergeCurrentCharFormat(format);
}

void vbAddText::slot_currentFontChanged(const QFont& font)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    mergeFormat(format);
}

void vbAddText::slot_currentIndexChanged(int)
{
    const int size = cbxSize->currentText().toInt();
    if (size <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(size);
    mergeFormat(format);
}

void vbAddText::on_btnBold_clicked()
{
    QTextCharFormat format;
    format.setFontWeight(btnBold->isChecked() ? QFont::Bold : QFont::Normal);
    mergeFormat(format);
}

void vbAddText::on_btnUnderline_clicked()
{
    QTextCharFormat format;
    format.setFontUnderline(btnUnderline->isChecked());
    mergeFormat(format);
}

void vbAddText::on_btnItaly_clicked()
{
    QTextCharFormat format;
    format.setFontItalic(btnItaly->isChecked());
    mergeFormat(format);
}

void vbAddText::showColor()
{
    btnColor->setPalette(QPalette(m_color));
}

void vbAddText::on_btnColor_clicked()
{
    const QColor chosen = m_colorPicker(QColor(255, 255, 255), this);
    if (chosen.isValid()) {
        m_color = chosen;
        QTextCharFormat format;
        format.setForeground(QBrush(m_color));
        mergeFormat(format);
    } else {
        m_color = QColor(Qt::black);
    }
    showColor();
}

void vbAddText::slot_textChanged()
{
    if (m_applyingTypedFormat)
        return;
    m_applyingTypedFormat = true;
    QTextCharFormat format;
    format.setForeground(QBrush(m_color));
    mergeFormat(format);
    slot_currentIndexChanged(cbxSize->currentIndex());
    m_applyingTypedFormat = false;
}

void vbAddText::slot_InsertDate()
{
    QTextCursor cursor = textEdit->textCursor();
    cursor.movePosition(QTextCursor::End);
    // A new line after any text; an empty text starts with the date itself.
    if (!textEdit->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
    textEdit->setTextCursor(cursor);
}

void vbAddText::on_btnOk_clicked()
{
    m_font = textEdit->currentCharFormat().font();
    m_text = textEdit->toPlainText();
    m_color = btnColor->palette().color(QPalette::Window);
    emit sig_addText(m_text, m_font, m_color);
    accept();
}

void vbAddText::on_btnCancel_clicked()
{
    reject();
}
