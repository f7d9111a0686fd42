#pragma once

class QGraphicsItem;

// What every editor item carries besides being a graphics item: an absolute
// angle and scale, both applied about the item's centre through its transform.
class vbBaseItem
{
public:
    virtual ~vbBaseItem();

    // Turns the item about its centre to a (degrees); stored as a % 360 with
    // the sign of a, so -90 and 270 both occur.
    virtual void setAngle(int a);
    virtual int angle() const { return m_angle; }
    // Replaces the item's transform by its angle and this scale, both about its centre.
    virtual void setItemScale(double sx, double sy);
    virtual double scaleX() const { return m_scaleX; }
    virtual double scaleY() const { return m_scaleY; }

    // The graphics item this mix-in belongs to.
    QGraphicsItem* graphicsItem();

private:
    double m_scaleX = 1.0;
    double m_scaleY = 1.0;
    int m_angle = 0;
};
