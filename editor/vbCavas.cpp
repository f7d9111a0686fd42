#include "vbCavas.h"

#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbBaseItem.h"
#include "vbCanvasScene.h"
#include "vbCanvasView.h"
#include "vbEditCommand.h"
#include "vbFileNode.h"
#include "vbImageItem.h"
#include "vbImageLoader.h"
#include "vbPushButton.h"
#include "vbSession.h"
#include "vbZoom.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDial>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

QString trForm(const char* text)
{
    return QCoreApplication::translate("vbCavasClass", text);
}

vbPushButton* makeButton(QWidget* parent, const char* name, int w, int h, const char* image)
{
    auto* button = new vbPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setMinimumSize(w, h);
    button->setCursor(Qt::PointingHandCursor);
    const QString base = QStringLiteral(":/Resources/") + QLatin1String(image);
    button->setImages(base + QStringLiteral(".png"), base + QStringLiteral("_hover.png"));
    return button;
}

QFrame* makeLine(QWidget* parent, const char* name)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::VLine);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

// The dial shows 0..360; a photo turned left leaves overlays at -90.
int dialAngle(int angle)
{
    return ((angle % 360) + 360) % 360;
}

} // namespace

vbCavas::vbCavas(vbFileNode* node, QWidget* parent)
    : QDialog(parent), m_node(node), m_scene(nullptr), m_undo(new QUndoStack(this))
{
    setupUi();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);

    m_scene = new vbCanvasScene(this);
    m_scene->setView(view);
    m_scene->setEditor(this);
    view->setEditor(this);
    view->setCanvas(m_scene);

    connect(comboBox, &QComboBox::currentIndexChanged, this, &vbCavas::slot_scaleChanged);
    connect(dial, &QDial::valueChanged, this, &vbCavas::slot_valueChanged);
    connect(scaleSlider, &QSlider::valueChanged, this, &vbCavas::slot_elementScaleChanged);
    connect(m_scene, &QGraphicsScene::selectionChanged, this, &vbCavas::slot_selectChanged);
    const std::pair<vbPushButton*, void (vbCavas::*)()> buttons[] = {
        {btnBig, &vbCavas::on_btnBig_clicked},
        {btnSmall, &vbCavas::on_btnSmall_clicked},
        {btnLeft, &vbCavas::on_btnLeft_clicked},
        {btnRight, &vbCavas::on_btnRight_clicked},
        {btnRazor, &vbCavas::on_btnRazor_clicked},
        {btnUndo, &vbCavas::slot_undo},
        {btnRedo, &vbCavas::slot_redo},
        {btnAddText, &vbCavas::on_btnAddText_clicked},
        {btnAddElement, &vbCavas::on_btnAddElement_clicked},
        {btnDelete, &vbCavas::on_btnDelete_clicked},
        {btnOk, &vbCavas::on_btnOk_clicked},
        {btnCancel, &vbCavas::on_btnCancel_clicked},
    };
    for (const auto& [button, slot] : buttons)
        connect(button, &vbPushButton::Clicked, this, slot);

    btnDelete->hide();
    lblRotate->hide();
    dial->hide();
    lblScale->hide();
    scaleSlider->hide();

    setupUndo();

    if (m_node) {
        connect(m_node.data(), &vbFileNode::sig_loadBigImageComplete, this,
                &vbCavas::slot_loadBigImageComplete);
        if (!m_node->requestBigImage()) {
            m_scene->setLoadFailed(true);
            setTips(tr("The photo cannot be loaded"));
        }
    }
}

vbCavas::~vbCavas()
{
    // The full-size picture is only needed while editing.
    if (m_node)
        m_node->clearBigImage();
    // Commands hold states only; drop them before the scene goes.
    m_undo->clear();
    // The scene is a child, so it would be cleared (selectionChanged and all)
    // only after this editor is gone: cut it off and let it go first, while
    // the editor and its widgets still stand.
    disconnect(m_scene, nullptr, this, nullptr);
    m_scene->setEditor(nullptr);
    view->setEditor(nullptr);
    view->setCanvas(nullptr);
    delete m_scene;
    m_scene = nullptr;
}

void vbCavas::setupUi()
{
    setObjectName(QStringLiteral("vbCavas"));
    resize(1124, 441);

    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(2);
    verticalLayout->setContentsMargins(2, 2, 2, 10);

    auto* horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    btnBig = makeButton(this, "btnBig", 64, 64, "scaleBig");
    btnSmall = makeButton(this, "btnSmall", 64, 64, "scaleSmall");
    btnLeft = makeButton(this, "btnLeft", 64, 64, "rotateLeft");
    btnRight = makeButton(this, "btnRight", 64, 64, "rotateRight");
    btnRazor = makeButton(this, "btnRazor", 64, 64, "razor");
    comboBox = new QComboBox(this);
    comboBox->setObjectName(QStringLiteral("comboBox"));
    comboBox->setMinimumWidth(80);
    line = makeLine(this, "line");
    btnUndo = makeButton(this, "btnUndo", 85, 25, "undo");
    btnRedo = makeButton(this, "btnRedo", 85, 25, "redo");
    btnAddText = makeButton(this, "btnAddText", 85, 25, "addTextDate");
    btnAddElement = makeButton(this, "btnAddElement", 85, 25, "addElement");
    btnDelete = makeButton(this, "btnDelete", 85, 25, "removeTextDate");
    line_2 = makeLine(this, "line_2");
    lblRotate = new QLabel(this);
    lblRotate->setObjectName(QStringLiteral("lblRotate"));
    dial = new QDial(this);
    dial->setObjectName(QStringLiteral("dial"));
    dial->setFixedSize(64, 64);
    dial->setRange(0, 360);
    dial->setSingleStep(10);
    dial->setPageStep(90);
    lblScale = new QLabel(this);
    lblScale->setObjectName(QStringLiteral("lblScale"));
    scaleSlider = new QSlider(Qt::Horizontal, this);
    scaleSlider->setObjectName(QStringLiteral("scaleSlider"));
    scaleSlider->setMinimumSize(150, 20);
    scaleSlider->setRange(10, 200);
    scaleSlider->setSingleStep(10);
    scaleSlider->setValue(100);
    for (QWidget* w :
         {static_cast<QWidget*>(btnBig), static_cast<QWidget*>(btnSmall), static_cast<QWidget*>(btnLeft),
          static_cast<QWidget*>(btnRight), static_cast<QWidget*>(btnRazor), static_cast<QWidget*>(comboBox),
          static_cast<QWidget*>(line), static_cast<QWidget*>(btnUndo), static_cast<QWidget*>(btnRedo),
          static_cast<QWidget*>(btnAddText), static_cast<QWidget*>(btnAddElement),
          static_cast<QWidget*>(btnDelete), static_cast<QWidget*>(line_2), static_cast<QWidget*>(lblRotate),
          static_cast<QWidget*>(dial), static_cast<QWidget*>(lblScale), static_cast<QWidget*>(scaleSlider)})
        horizontalLayout_2->addWidget(w);
    horizontalLayout_2->addStretch();
    verticalLayout->addLayout(horizontalLayout_2);

    view = new vbCanvasView(this);
    view->setObjectName(QStringLiteral("view"));
    view->setFrameShape(QFrame::WinPanel);
    view->setFrameShadow(QFrame::Sunken);
    verticalLayout->addWidget(view, 1);

    auto* horizontalLayout_3 = new QHBoxLayout();
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setSpacing(6);
    horizontalLayout_3->setContentsMargins(0, 0, 10, 0);
    lblTips = new QLabel(this);
    lblTips->setObjectName(QStringLiteral("lblTips"));
    lblTips->setMinimumWidth(200);
    lblTips->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    btnOk = makeButton(this, "btnOk", 85, 25, "ok");
    btnCancel = makeButton(this, "btnCancel", 85, 25, "cancel");
    horizontalLayout_3->addWidget(lblTips);
    horizontalLayout_3->addStretch();
    horizontalLayout_3->addWidget(btnOk);
    horizontalLayout_3->addWidget(btnCancel);
    verticalLayout->addLayout(horizontalLayout_3);

    for (const char* zoom : {"200%", "150%", "100%", "75%", "50%", "25%", "10%"})
        comboBox->addItem(QLatin1String(zoom));
    comboBox->addItem(trForm("Fit"));
    comboBox->setEditable(true);
    // A photo opens whole, however large, and the box says so.
    comboBox->setCurrentIndex(comboBox->count() - 1);
    retranslateUi();
}

void vbCavas::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("vbCavasClass", "vbCavas"));
    btnAddText->setText(QString());
    btnAddText->setToolTip(trForm("add Text and Date"));
    btnAddElement->setText(trForm("add element"));
    btnDelete->setText(trForm("Delete"));
    lblRotate->setText(trForm("Angle"));
    lblScale->setText(trForm("Scale"));
    btnOk->setText(trForm("Ok"));
    btnCancel->setText(trForm("Cancel"));
    btnBig->setToolTip(trForm("Zoom in"));
    btnSmall->setToolTip(trForm("Zoom out"));
    btnLeft->setToolTip(trForm("Turn left"));
    btnRight->setToolTip(trForm("Turn right"));
    btnRazor->setToolTip(trForm("Crop to a print size"));
    btnAddElement->setToolTip(trForm("add element"));
    btnDelete->setToolTip(trForm("Delete"));
    btnUndo->setToolTip(trForm("Undo"));
    btnRedo->setToolTip(trForm("Redo"));
}

void vbCavas::setupUndo()
{
    // Each crop keeps a full-size picture in the history: bound it.
    m_undo->setUndoLimit(40);
    // The platform's own keys and the two every editor user tries.
    auto keys = [](QKeySequence::StandardKey standard, const QKeySequence& extra) {
        QList<QKeySequence> list = QKeySequence::keyBindings(standard);
        if (!list.contains(extra))
            list.append(extra);
        return list;
    };
    auto* undo = new QAction(this);
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcuts(keys(QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z)));
    undo->setShortcutContext(Qt::WindowShortcut);
    connect(undo, &QAction::triggered, this, &vbCavas::slot_undo);
    addAction(undo);
    auto* redo = new QAction(this);
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts(keys(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::Key_Y)));
    redo->setShortcutContext(Qt::WindowShortcut);
    connect(redo, &QAction::triggered, this, &vbCavas::slot_redo);
    addAction(redo);

    btnUndo->setEnabled(false);
    btnRedo->setEnabled(false);
    connect(m_undo, &QUndoStack::canUndoChanged, btnUndo, &QWidget::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, btnRedo, &QWidget::setEnabled);
}

void vbCavas::setTips(const QString& text)
{
    lblTips->setText(text);
}

QString vbCavas::tips() const
{
    return lblTips->text();
}

void vbCavas::showRazorTips(const QString& warning)
{
    // The crop needs a second Ok, in this window: say so while the frame shows.
    const QString hint = tr("Drag the frame, then OK to crop");
    setTips(warning.isEmpty() ? hint : warning + QLatin1Char(' ') + hint);
}

QString vbCavas::outputPath(const vbFileNode* node)
{
    return node->tempFolder() + QLatin1Char('/') + node->baseName() + QStringLiteral(".jpg");
}

int vbCavas::outputQuality(qint64 fileBytes)
{
    return fileBytes > 1048576 ? 80 : 100;
}

void vbCavas::slot_loadBigImageComplete(vbFileNode* node)
{
    if (node != m_node)
        return;
    const QImage image = node->bigImage();
    node->clearBigImage();
    if (image.isNull()) {
        m_scene->setLoadFailed(true);
        setTips(tr("The photo cannot be loaded"));
        return;
    }
    m_scene->setPhoto(image);
    // Nothing done before the photo arrived can be undone on it.
    m_undo->clear();
    reapplyZoom();
}

void vbCavas::reapplyZoom()
{
    slot_scaleChanged(comboBox->currentIndex());
}

void vbCavas::slot_scaleChanged(int)
{
    if (!m_scene->hasPhoto())
        return;
    const QSize shown = m_scene->photoDisplaySize();
    const QString text = comboBox->currentText();
    QSizeF target;
    double factor = 1.0;
    if (text == trForm("Fit")) // the room without scroll bars, and a pixel to spare
        target = QSizeF(view->maximumViewportSize()) - QSizeF(2, 2);
    else if (vbZoom::factorForText(text, &factor))
        target = QSizeF(shown.width() * factor, shown.height() * factor);
    else
        return; // not a number: the zoom stays as it is
    const QPointF s = vbZoom::scaleFor(shown, target);
    m_scene->zoomTo(s.x(), s.y());
    if (comboBox->count() > 9)
        comboBox->removeItem(comboBox->count() - 2);
}

void vbCavas::zoomStep(bool in)
{
    if (!m_scene->hasPhoto())
        return;
    const double sx = vbZoom::stepped(m_scene->scaleX(), in);
    const double sy = vbZoom::stepped(m_scene->scaleY(), in);
    m_scene->zoomTo(sx, sy);
    // Only the text changes: the index stays, so the zoom is not re-applied.
    comboBox->setEditText(vbZoom::percentText(sx));
}

void vbCavas::on_btnBig_clicked()
{
    zoomStep(true);
}

void vbCavas::on_btnSmall_clicked()
{
    zoomStep(false);
}

void vbCavas::turn(int degrees, const QString& text)
{
    if (!m_scene->hasPhoto())
        return;
    const vbSceneState before = m_scene->snapshot();
    m_scene->rotatePhoto(m_scene->photoAngle() + degrees);
    reapplyZoom();
    pushEdit(before, text);
}

void vbCavas::on_btnLeft_clicked()
{
    turn(-90, tr("Turn left"));
}

void vbCavas::on_btnRight_clicked()
{
    turn(90, tr("Turn right"));
}

void vbCavas::on_btnRazor_clicked()
{
    m_scene->beginRazor();
}

void vbCavas::on_btnAddText_clicked()
{
    if (!m_scene->hasPhoto() || m_textDialog)
        return;
    auto* dialog = new vbAddText(view);
    m_textDialog = dialog;
    connect(dialog, &vbAddText::sig_addText, this, &vbCavas::slot_addText);
    dialog->exec();
    delete dialog;
}

void vbCavas::on_btnAddElement_clicked()
{
    if (!m_scene->hasPhoto())
        return;
    if (!m_elementDialog) {
        const vbSession* session = m_node ? m_node->session() : nullptr;
        m_elementDialog = new vbAddElement(session ? session->endpoints() : vbEndpoints(), view);
        connect(m_elementDialog.data(), &vbAddElement::sig_addElement, this, &vbCavas::slot_addElement);
    }
    const QPoint topLeft = view->mapTo(this, QPoint(0, 0));
    m_elementDialog->move(
        mapToGlobal(QPoint(topLeft.x() + (view->width() - m_elementDialog->width()) / 2, topLeft.y() + 50)));
    m_elementDialog->show();
    m_elementDialog->raise();
}

void vbCavas::showOverlayControls()
{
    btnDelete->show();
    lblRotate->show();
    dial->show();
    lblScale->show();
    scaleSlider->show();
}

void vbCavas::slot_addText(const QString& text, const QFont& font, const QColor& color)
{
    const vbSceneState before = m_scene->snapshot();
    m_scene->addTextOverlay(text, font, color);
    showOverlayControls();
    pushEdit(before, tr("Add text"));
}

void vbCavas::slot_addElement(const QString& path)
{
    const vbSceneState before = m_scene->snapshot();
    m_scene->addElementOverlay(path);
    showOverlayControls();
    pushEdit(before, tr("Add element"));
}

void vbCavas::slot_selectChanged()
{
    const vbBaseItem* item = m_scene->selectedBaseItem();
    if (!item)
        return;
    const QSignalBlocker dialBlock(dial);
    const QSignalBlocker sliderBlock(scaleSlider);
    dial->setValue(dialAngle(item->angle()));
    scaleSlider->setValue(int(item->scaleX() * 100));
}

void vbCavas::slot_valueChanged(int value)
{
    vbBaseItem* item = m_scene->selectedBaseItem();
    if (!item)
        return;
    const vbSceneState before = m_scene->snapshot();
    item->setAngle(value);
    pushEdit(before, tr("Turn"), vbEditCommand::MergeAngle, vbCanvasScene::overlayId(item));
}

void vbCavas::slot_elementScaleChanged(int value)
{
    vbBaseItem* item = m_scene->selectedBaseItem();
    if (!item)
        return;
    const vbSceneState before = m_scene->snapshot();
    item->setItemScale(value / 100.0, value / 100.0);
    pushEdit(before, tr("Scale"), vbEditCommand::MergeScale, vbCanvasScene::overlayId(item));
}

void vbCavas::on_btnDelete_clicked()
{
    const vbSceneState before = m_scene->snapshot();
    if (m_scene->removeSelected() > 0)
        pushEdit(before, tr("Delete"));
}

void vbCavas::pushEdit(const vbSceneState& before, const QString& text, int merge, quint64 overlay)
{
    m_undo->push(new vbEditCommand(this, before, m_scene->snapshot(), text, merge, overlay));
}

void vbCavas::restoreEdit(const vbSceneState& state)
{
    const QSize shown = m_scene->photoDisplaySize();
    m_scene->restore(state);
    // Like after a turn or a crop: a photo of other sides is zoomed anew.
    if (m_scene->photoDisplaySize() != shown)
        reapplyZoom();
    if (!state.overlays.isEmpty())
        showOverlayControls();
    slot_selectChanged();
}

void vbCavas::slot_undo()
{
    // A crop under way is no edit yet: its frame goes, and the last edit is
    // undone as the user asked (the frame would not fit a photo put back).
    if (m_scene->isRazorMode())
        m_scene->endRazor(false);
    m_undo->undo();
}

void vbCavas::slot_redo()
{
    if (!m_undo->canRedo())
        return;
    if (m_scene->isRazorMode())
        m_scene->endRazor(false);
    m_undo->redo();
}

void vbCavas::on_btnOk_clicked()
{
    if (m_scene->isRazorMode()) {
        const vbSceneState before = m_scene->snapshot();
        const QSize shown = m_scene->photoDisplaySize();
        m_scene->endRazor(true);
        if (m_scene->photoDisplaySize() != shown ||
            m_scene->photoItem()->image().cacheKey() != before.photo.cacheKey())
            pushEdit(before, tr("Crop"));
        return;
    }
    const QImage img = m_scene->renderImage();
    if (img.isNull() || !m_node) {
        // The picture never arrived: there is nothing to save, and the photo
        // stays as it was.
        QDialog::reject();
        return;
    }
    QDir().mkpath(m_node->tempFolder());
    const QString path = outputPath(m_node);
    const qint64 bytes = QFileInfo(m_node->absoluteFilePath()).size();
    // The result keeps the photo's metadata; metadata that cannot be carried
    // over must not cost the user the edit.
    const QString photo = m_node->absoluteFilePath();
    if (!vbImageLoader::saveJpeg(img, path, outputQuality(bytes), photo) &&
        !vbImageLoader::saveJpeg(img, path, outputQuality(bytes))) {
        setTips(tr("The edited photo cannot be saved"));
        return;
    }
    m_node->setFileInfo(QFileInfo(path));
    m_node->requestThumbnail();
    accept();
}

void vbCavas::on_btnCancel_clicked()
{
    reject();
}

void vbCavas::reject()
{
    if (m_scene->isRazorMode()) {
        m_scene->endRazor(false);
        return;
    }
    QDialog::reject();
}

void vbCavas::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    reapplyZoom();
}
