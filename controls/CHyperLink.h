#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QLabel>

// A label that shows a link: coloured, underlined while the mouse is over it, the target as its tool
// tip, opened with the desktop's handler on a click. A failure is reported in a message box.
class CHyperLink : public QLabel {
    Q_OBJECT
public:
    static constexpr int kHoverTimerMs = 100;

    // An empty target means the text itself.
    explicit CHyperLink(const QString& text, const QString& target = {}, QWidget* parent = nullptr);

    void SetURL(const QString& target);
    QString URL() const { return target_; }
    void SetColours(const QColor& link, const QColor& visited, const QColor& hover);
    // -1 underlined only while hovered, 1 always.
    void SetUnderline(int mode);
    void SetAdjustToText(bool adjust);

    bool IsOver() const { return over_; }
    bool IsVisited() const { return visited_; }
    // The colour the text is drawn in now.
    QColor TextColour() const;

    // Resizes the label to its text, keeping the edge or centre its alignment names.
    void AdjustToText();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Open();
    void Refresh();

    QString target_;
    QFont normalFont_;
    QFont underlinedFont_;
    QColor linkColour_ { 0, 0, 238 };
    QColor visitedColour_ { 85, 26, 139 };
    QColor hoverColour_ { 255, 0, 0 };
    bool over_ = false;
    bool visited_ = false;
    int underlineMode_ = -1;
    bool adjustToText_ = true;
    QBasicTimer hoverTimer_;
};
