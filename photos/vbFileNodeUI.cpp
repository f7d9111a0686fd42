#include "vbFileNodeUI.h"

#include "KitButtonFlags.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFitSize.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"

#include <QBoxLayout>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

namespace {

vbPushButton* makeButton(const char* image, const QString& tip, QWidget* parent)
{
    auto* button = new vbPushButton(parent);
    button->setImages(QLatin1String(image), QString());
    button->setFixedSize(25, 25);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(tip);
    button->hide();
    return button;
}

const QColor selectedFrame(181, 197, 230);

} // namespace

vbFileNodeUI::vbFileNodeUI(vbFileNode* node, QWidget* parent) : QWidget(parent), m_node(node)
{
    setAttribute(Qt::WA_MouseTracking);

    m_btnRemove = makeButton(":/Resources/remove.png", tr("Remove"), this);
    m_btnEdit = makeButton(":/Resources/edit.png", tr("Edit"), this);
    m_btnInfo = makeButton(":/Resources/info.png", tr("Photo info"), this);
    m_btnFullScreen = makeButton(":/Resources/fullscreen.png", tr("Full screen"), this);
    connect(m_btnRemove, &vbPushButton::Clicked, this, &vbFileNodeUI::slot_remove);
    connect(m_btnEdit, &vbPushButton::Clicked, this, &vbFileNodeUI::slot_edit);
    connect(m_btnInfo, &vbPushButton::Clicked, this, &vbFileNodeUI::slot_info);
    connect(m_btnFullScreen, &vbPushButton::Clicked, this, &vbFileNodeUI::slot_fullScreen);

    m_spacer = new QLabel(this);
    m_spacer->setFixedSize(1, 25);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setContentsMargins(0, 0, 0, 0);
    m_buttonRow->setSpacing(0);
    m_buttonRow->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_buttonRow->setSizeConstraint(QLayout::SetFixedSize);
    m_buttonRow->addWidget(m_spacer);
    m_buttonRow->addWidget(m_btnEdit);
    m_buttonRow->addWidget(m_btnFullScreen);
    m_buttonRow->addWidget(m_btnInfo);
    m_buttonRow->addWidget(m_btnRemove);

    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_nameEdit->setFixedHeight(16);
    m_nameEdit->setFrame(false);
    m_nameEdit->setMaxLength(50);
    m_nameEdit->setEnabled(false);
    m_nameEdit->setText(node ? node->baseName() : QString());
    m_nameEdit->installEventFilter(this);
    m_nameEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(namePattern()), m_nameEdit));
    // The name reads as a label on the tile: no background of its own, black
    // text also while disabled. (A palette, not a style sheet: hundreds of tiles
    // are made at once.)
    QPalette palette = m_nameEdit->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Disabled, QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Disabled, QPalette::Text, Qt::black);
    m_nameEdit->setPalette(palette);
    connect(m_nameEdit, &QLineEdit::editingFinished, this, &vbFileNodeUI::slot_nameEditFinished);
}

vbFileNodeUI::~vbFileNodeUI()
{
    m_nameEdit->removeEventFilter(this);
}

QString vbFileNodeUI::namePattern()
{
    return QStringLiteral("[^\\\\/:*?\"<>|\r\n.]*");
}

void vbFileNodeUI::setList(const vbFileList* list)
{
    m_list = list;
}

bool vbFileNodeUI::uploadRunning() const
{
    return m_list && m_list->uploadRunning();
}

QSize vbFileNodeUI::cellSize(vbViewMode mode)
{
    return mode == vbViewMode::BigIcons ? QSize(260, 300) : QSize(130, 150);
}

QRect vbFileNodeUI::thumbnailRect(vbViewMode mode, const QSize& thumbnail)
{
    const int w = cellSize(mode).width();
    const QSize fitted = fitSize(thumbnail, QSize(w - 6, w - 6));
    return QRect((w - fitted.width()) / 2, (w - fitted.height()) / 2, fitted.width(), fitted.height());
}

int vbFileNodeUI::progressPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return 0;
    return int(double(done) / double(total) * 100.0);
}

vbFileNodeUI::StateLook vbFileNodeUI::stateLook(vbUploadState state, bool inRun, bool uploadedBefore,
                                                int percent)
{
    static const QColor busy(20, 70, 150);
    static const QColor idle(90, 90, 90);
    switch (state) {
    case vbUploadState::Uploaded:
        return {tr("Photo uploaded!"), QColor(0, 120, 40)};
    case vbUploadState::Failed:
        return {tr("Photo upload failed!"), QColor(200, 0, 0)};
    case vbUploadState::Stopped:
        return {tr("Stopped"), idle};
    default:
        break;
    }
    // The steps between mean something only while the photo's upload runs:
    // a new photo is Waiting too, and a cancelled one keeps its last step.
    if (inRun) {
        switch (state) {
        case vbUploadState::Waiting:
            return {tr("Waiting"), idle};
        case vbUploadState::Transferring:
            return {tr("Sending %1%").arg(percent), busy};
        case vbUploadState::Transferred:
        case vbUploadState::Committing:
        case vbUploadState::CommitFailed: // sent again on the next tick
            return {tr("Finishing"), busy};
        default: // Prepared, RequestingKey, KeyFailed (asked again), KeyReady
            return {tr("Preparing"), busy};
        }
    }
    if (uploadedBefore)
        return {tr("Photo had uploaded!"), QColor(170, 85, 0)};
    return {};
}

vbFileNodeUI::StateLook vbFileNodeUI::currentLook() const
{
    // A check mark outranks the state; the selection dialog does not warn about uploads.
    if (!m_node || isChecked())
        return {};
    const bool before = !isCheckable() && m_list && m_list->uploadedBefore(m_node->absoluteFilePath());
    return stateLook(m_node->uploadState(), m_node->inUploadRun(), before,
                     progressPercent(m_progressDone, m_progressTotal));
}

void vbFileNodeUI::paintStateText(QPainter& painter, const QRect& rect, const StateLook& look,
                                  Qt::Alignment align)
{
    if (look.text.isEmpty() || rect.width() <= 0)
        return;
    painter.save();
    const QFontMetrics metrics(painter.font());
    const QString text = metrics.elidedText(look.text, Qt::ElideRight, rect.width() - 6);
    const int textWidth = metrics.horizontalAdvance(text) + 6;
    QRect strip = rect;
    if (align & Qt::AlignRight)
        strip.setLeft(rect.right() - textWidth + 1);
    else
        strip.setWidth(textWidth);
    painter.fillRect(strip, QColor(255, 255, 255, 220));
    painter.setPen(look.colour);
    painter.drawText(strip, Qt::AlignCenter, text);
    painter.restore();
}

void vbFileNodeUI::setProgress(qint64 done, qint64 total)
{
    m_progressDone = done;
    m_progressTotal = total;
    update();
}

void vbFileNodeUI::setViewMode(vbViewMode mode)
{
    if (m_laidOut && mode == m_layoutMode) {
        update();
        return;
    }
    if (QLayout* old = layout()) {
        old->removeWidget(m_nameEdit);
        old->removeItem(m_buttonRow);
        m_buttonRow->setParent(nullptr);
        delete old;
    }
    if (mode == vbViewMode::List) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        m_nameEdit->setMaximumWidth(200);
        m_nameEdit->setFixedHeight(30);
        row->addWidget(m_nameEdit, 20);
        row->addLayout(m_buttonRow, 10);
        row->addStretch(80);
        setButtonsVisible(true);
        setLayout(row);
    } else {
        auto* column = new QVBoxLayout;
        column->setContentsMargins(3, 3, 3, 3);
        column->setSpacing(0);
        column->setAlignment(Qt::AlignBottom);
        column->addLayout(m_buttonRow);
        m_nameEdit->setFixedHeight(16);
        m_nameEdit->setMaximumWidth(500);
        column->addWidget(m_nameEdit);
        setButtonsVisible(false);
        setLayout(column);
    }
    m_layoutMode = mode;
    m_laidOut = true;
    update();
}

bool vbFileNodeUI::isCheckable() const
{
    return m_node && (m_node->flags() & Qt::ItemIsUserCheckable);
}

bool vbFileNodeUI::isChecked() const
{
    return isCheckable() && m_node->checkState() == Qt::Checked;
}

bool vbFileNodeUI::isRowSelected() const
{
    return m_node && m_node->listWidget() && m_node->isSelected();
}

void vbFileNodeUI::selectRow()
{
    if (m_node && m_node->listWidget())
        m_node->listWidget()->setCurrentItem(m_node);
}

void vbFileNodeUI::setButtonsVisible(bool visible)
{
    m_btnRemove->setVisible(visible);
    m_btnEdit->setVisible(visible);
    m_btnInfo->setVisible(visible);
    m_btnFullScreen->setVisible(visible);
}

// Painting

void vbFileNodeUI::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_layoutMode == vbViewMode::List)
        paintListRow(painter);
    else
        paintIcon(painter);
}

void vbFileNodeUI::paintListRow(QPainter& painter)
{
    const QRect r(0, 0, width(), height());
    const int row = m_node ? m_node->row() : 0;
    painter.fillRect(r, row % 2 ? QColor(200, 221, 239) : QColor(197, 212, 223));
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPointSize(12);
    painter.setFont(font);

    const vbUploadState state = m_node ? m_node->uploadState() : vbUploadState::Waiting;
    if (isChecked() || state == vbUploadState::Uploaded) {
        const QPixmap mark(QStringLiteral(":/Resources/checked.png"));
        painter.drawPixmap(width() - mark.width() - 2, 2, mark);
    } else if (state == vbUploadState::Failed) {
        const QPixmap mark(QStringLiteral(":/Resources/uploadfailed.png"));
        painter.drawPixmap(width() - mark.width() - 2, 3, mark);
    }

    if (state == vbUploadState::Transferring) {
        const double ratio = m_progressTotal > 0 ? double(m_progressDone) / double(m_progressTotal) : 0.0;
        painter.fillRect(QRect(m_nameEdit->width() + 1, 1, int(ratio * width()), height() - 2), Qt::blue);
    }
    // Right-aligned before the mark, clear of the name.
    font.setPointSize(9);
    painter.setFont(font);
    const int left = m_nameEdit->width() + 4;
    paintStateText(painter, QRect(left, 3, width() - 30 - left, height() - 6), currentLook(), Qt::AlignRight);

    if (isRowSelected()) {
        painter.setPen(QPen(Qt::blue, 2));
        painter.drawRect(r);
    }
}

void vbFileNodeUI::paintIcon(QPainter& painter)
{
    const QSize cell = cellSize(m_layoutMode);
    const int w = cell.width();
    const int h = cell.height();

    if (isRowSelected())
        painter.setPen(QPen(selectedFrame, 2));
    else
        painter.setPen(Qt::gray);
    painter.drawRect(QRect(QPoint(1, 1), QPoint(w - 2, h - 2)));

    if (m_node) {
        const QImage thumb = m_node->thumbnail();
        if (!thumb.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(thumbnailRect(m_layoutMode, thumb.size()), thumb);
            painter.restore();
        }
    }

    const vbUploadState state = m_node ? m_node->uploadState() : vbUploadState::Waiting;
    int markWidth = 0;
    if (isChecked() || state == vbUploadState::Uploaded || state == vbUploadState::Failed) {
        const bool failed = !isChecked() && state == vbUploadState::Failed;
        const QPixmap mark(failed ? QStringLiteral(":/Resources/uploadfailed.png")
                                  : QStringLiteral(":/Resources/checked.png"));
        painter.drawPixmap(w - mark.width() - 2, 3, mark);
        markWidth = mark.width() + 2;
    }
    // The state on a strip at the top left, clear of the mark.
    paintStateText(painter, QRect(3, 3, w - 8 - markWidth, 18), currentLook(), Qt::AlignLeft);

    if (state == vbUploadState::Transferring) {
        const QRect band(QPoint(0, h / 2), QPoint(w - 1, h / 2 + 14));
        painter.fillRect(band, Qt::white);
        const double ratio = m_progressTotal > 0 ? double(m_progressDone) / double(m_progressTotal) : 0.0;
        painter.fillRect(QRect(QPoint(1, h / 2 + 1), QPoint(int(ratio * w), h / 2 + 13)), selectedFrame);
        painter.setPen(Qt::black);
        painter.drawText(band, Qt::AlignCenter,
                         QString::number(progressPercent(m_progressDone, m_progressTotal)) +
                             QLatin1Char('%'));
    }
}

// Mouse

void vbFileNodeUI::mousePressEvent(QMouseEvent* event)
{
    selectRow();
    if (isCheckable()) {
        m_node->setCheckState(m_node->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        update();
        emit sig_checkItem();
    }
    event->accept();
}

void vbFileNodeUI::mouseDoubleClickEvent(QMouseEvent* event)
{
    selectRow();
    emit sig_editItem(false);
    event->accept();
}

void vbFileNodeUI::enterEvent(QEnterEvent* event)
{
    if (!uploadRunning()) {
        m_previewShown = false;
        if (!isCheckable() && m_laidOut && m_layoutMode != vbViewMode::List)
            setButtonsVisible(true);
        update();
    }
    QWidget::enterEvent(event);
}

void vbFileNodeUI::leaveEvent(QEvent* event)
{
    if (!isCheckable() && m_laidOut && m_layoutMode != vbViewMode::List)
        setButtonsVisible(false);
    if (m_previewShown)
        emit sig_hoverEnded();
    update();
    QWidget::leaveEvent(event);
}

bool vbFileNodeUI::inPictureArea(const QPoint& pos) const
{
    if (m_layoutMode == vbViewMode::List)
        return pos.x() >= 50 && pos.x() < width();
    if (m_layoutMode == vbViewMode::SmallIcons) {
        const int bottom = (height() - 1) - (m_btnEdit->height() - 1) - m_nameEdit->height() - 2;
        return pos.x() >= 0 && pos.x() < width() && pos.y() >= 0 && pos.y() <= bottom;
    }
    return false;
}

void vbFileNodeUI::mouseMoveEvent(QMouseEvent* event)
{
    if (!isCheckable() && !uploadRunning() && !m_previewShown && inPictureArea(event->position().toPoint())) {
        m_previewShown = true;
        emit sig_hoverPreview(m_node, QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
    QWidget::mouseMoveEvent(event);
}

// Buttons

void vbFileNodeUI::slot_remove()
{
    if (uploadRunning())
        return;
    selectRow();
    emit sig_editItem(true);
}

void vbFileNodeUI::slot_edit()
{
    if (uploadRunning())
        return;
    selectRow();
    emit sig_editItem(false);
}

void vbFileNodeUI::slot_info()
{
    if (uploadRunning() || !m_node)
        return;
    emit sig_showInfo(m_node);
}

void vbFileNodeUI::slot_fullScreen()
{
    if (uploadRunning() || !m_node)
        return;
    // Whoever shows the view does so modally; the full-size image is not needed afterwards.
    emit sig_fullScreen(m_node);
    if (m_node)
        m_node->clearBigImage();
}

// Name editing

void vbFileNodeUI::startNameEditing()
{
    m_editing = true;
    m_nameEdit->setEnabled(true);
    m_nameEdit->setReadOnly(false);
    m_nameEdit->setFocus();
    m_nameEdit->selectAll();
}

void vbFileNodeUI::endNameEditing()
{
    m_nameEdit->deselect();
    m_nameEdit->setReadOnly(true);
    m_nameEdit->setEnabled(false);
}

bool vbFileNodeUI::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_nameEdit || isCheckable())
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        if (uploadRunning())
            return true;
        selectRow();
        startNameEditing();
        return true;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (m_editing && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            slot_nameEditFinished();
            return true;
        }
        break;
    }
    case QEvent::FocusOut:
        slot_nameEditFinished();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void vbFileNodeUI::slot_nameEditFinished()
{
    // Return, focus loss and the field's own signal may all report one edit.
    if (!m_editing)
        return;
    m_editing = false;
    endNameEditing();

    const QString text = m_nameEdit->text();
    if (!text.isEmpty()) {
        if (!m_node)
            return;
        const QString oldName = m_node->baseName();
        if (!m_node->renameFile(text))
            m_nameEdit->setText(oldName);
        return;
    }

    vbMessageBox box(OkButton, tr("Tips"), tr("Photo name can't be empty!"), window());
    box.exec();
    startNameEditing();
}
