#include "controls/CHyperLink.h"

#include "controls/LinkOpener.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

CHyperLink::CHyperLink(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent)
    , target_(target.isEmpty() ? text : target)
{
    if (text.isEmpty())
        setText(target_);
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    normalFont_ = font();
    underlinedFont_ = normalFont_;
    underlinedFont_.setUnderline(true);
    setFont(normalFont_);
    setCursor(Qt::PointingHandCursor);
    setToolTip(target_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    AdjustToText();
    Refresh();
}

void CHyperLink::SetURL(const QString& target)
{
    target_ = target;
    AdjustToText();
    setToolTip(target_);
}

void CHyperLink::SetColours(const QColor& link, const QColor& visited, const QColor& hover)
{
    linkColour_ = link;
    visitedColour_ = visited;
    hoverColour_ = hover;
    Refresh();
}

void CHyperLink::SetUnderline(int mode)
{
    underlineMode_ = mode;
    setFont(mode == 1 || over_ ? underlinedFont_ : normalFont_);
    Refresh();
}

void CHyperLink::SetAdjustToText(bool adjust)
{
    adjustToText_ = adjust;
    const QSizePolicy::Policy policy = adjust ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    setSizePolicy(policy, policy);
    AdjustToText();
}

QColor CHyperLink::TextColour() const
{
    if (over_)
        return hoverColour_;
    return visited_ ? visitedColour_ : linkColour_;
}

void CHyperLink::AdjustToText()
{
    if (!adjustToText_)
        return;
    const QSize text = QFontMetrics(underlinedFont_).size(Qt::TextSingleLine, this->text());
    const QRect old = geometry();
    const QSize frame = old.size() - contentsRect().size();
    const QSize size = text + frame;
    QPoint at = old.topLeft();
    if (alignment() & Qt::AlignHCenter)
        at.setX(old.left() + (old.width() - size.width()) / 2);
    else if (alignment() & Qt::AlignRight)
        at.setX(old.left() + old.width() - size.width());
    if (alignment() & Qt::AlignVCenter)
        at.setY(old.top() + (old.height() - size.height()) / 2);
    // Fixed first, so that the new size is not held to the old one; layouts then give it the text's size.
    setFixedSize(size);
    setGeometry(QRect(at, size));
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event)
{
    if (!over_) {
        over_ = true;
        if (underlineMode_ == -1)
            setFont(underlinedFont_);
        Refresh();
        hoverTimer_.start(kHoverTimerMs, this);
    }
    QLabel::mouseMoveEvent(event);
}

void CHyperLink::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != hoverTimer_.timerId()) {
        QLabel::timerEvent(event);
        return;
    }
    // Qt keeps track of where the last mouse event went: the label no longer has it once it left.
    if (underMouse())
        return;
    over_ = false;
    hoverTimer_.stop();
    if (underlineMode_ != 1)
        setFont(normalFont_);
    Refresh();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Open();
    QLabel::mouseReleaseEvent(event);
}

void CHyperLink::Open()
{
    over_ = false;
    hoverTimer_.stop();
    if (underlineMode_ != 1)
        setFont(normalFont_);
    const int result = LinkOpener::Open(target_);
    if (result > 32) {
        visited_ = true;
        Refresh();
        return;
    }
    Refresh();
    QApplication::beep();
    QMessageBox::warning(this, QApplication::applicationDisplayName(), LinkOpener::ErrorMessage(result));
}

void CHyperLink::Refresh()
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, TextColour());
    setPalette(colours);
    update();
}

void CHyperLink::paintEvent(QPaintEvent* event)
{
    // The label erases its own background, as the dialog behind it is coloured.
    QPainter(this).fillRect(rect(), palette().color(QPalette::Window));
    QLabel::paintEvent(event);
}
