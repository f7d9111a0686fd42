#pragma once

#include <QPixmap>
#include <QPushButton>

// A button drawn only as a bitmap: the normal one, or the hover one while the
// pointer is over it. It reports a click through Clicked() on any mouse
// release that follows a press on it, whichever button and wherever released.
class vbPushButton : public QPushButton
{
    Q_OBJECT
public:
    explicit vbPushButton(QWidget* parent = nullptr);
    vbPushButton(int width, int height, const QString& normalPath, const QString& hoverPath,
                 QWidget* parent = nullptr);

    // An empty hover path shows the normal bitmap in both states.
    void setImages(const QString& normalPath, const QString& hoverPath);

    bool isHovered() const { return m_hovered; }
    const QPixmap& normalImage() const { return m_normalImage; }
    const QPixmap& hoverImage() const { return m_hoverImage; }
    // The bitmap the next paint draws.
    const QPixmap& currentImage() const { return m_hovered ? m_hoverImage : m_normalImage; }

signals:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_normalImage;
    QPixmap m_hoverImage;
    bool m_hovered = false;
};
