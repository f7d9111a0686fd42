#pragma once

#include "vbFileNode.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QTimer;

// The hover preview: a borderless pop-up with a photo's thumbnail, placed next
// to the tile the pointer is on. It hides itself after a while, on a click, or
// when the owner says the hover ended.
class vbShowImage : public QWidget
{
    Q_OBJECT
public:
    explicit vbShowImage(QWidget* parent = nullptr);

    // Shows node's thumbnail at its own size beside tileGlobalRect (screen
    // coordinates), kept on that screen's available area, and (re)starts the
    // hiding timer. A node without a thumbnail yet shows nothing.
    void showFor(vbFileNode* node, const QRect& tileGlobalRect);

    vbFileNode* node() const { return m_node; }
    int hideInterval() const;
    void setHideInterval(int ms);

    // Where a pop-up of size goes for a tile: to the right of it, else to the
    // left, top edges aligned; moved inside available where it does not fit.
    static QRect placement(const QRect& tile, const QSize& size, const QRect& available);

public slots:
    // Both end the preview: clear the tile's hover mark, forget the photo, hide.
    void timeout();
    void hideNow();

signals:
    // The preview of node ended; the tile may show it again on the next hover.
    void sig_previewHidden(vbFileNode* node);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPointer<vbFileNode> m_node;
    QImage m_image;
    QTimer* m_timer;
};
