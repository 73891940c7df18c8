#pragma once

#include "editor/bars/CParamBar.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ShapeObject.h"
#include "tests/ui/ViewTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <functional>
#include <iterator>
#include <memory>

// A 180 x 130 picture at 100 %, so an image point is the client point less the 5-pixel margin.
class ToolsViewTest : public ViewTestBase {
protected:
    void SetUp() override
    {
        SetPicture(180, 130);
        view_ = MakeView();
        view_->SetParamBar(&bar_);
        bar_.SetTargetResolver([this] { return view_.get(); });
    }

    static QPoint At(QPoint image) { return image + QPoint(5, 5); }
    QWidget* Port() const { return view_->viewport(); }
    void Press(QPoint image) { QTest::mousePress(Port(), Qt::LeftButton, {}, At(image)); }
    void Release(QPoint image) { QTest::mouseRelease(Port(), Qt::LeftButton, {}, At(image)); }
    void MoveTo(QPoint image, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent move(QEvent::MouseMove, At(image), Port()->mapToGlobal(At(image)), Qt::NoButton, buttons, {});
        QApplication::sendEvent(Port(), &move);
    }
    void Drag(QPoint from, QPoint to)
    {
        Press(from);
        MoveTo((from + to) / 2);
        MoveTo(to);
        Release(to);
    }
    void Key(int key) { QTest::keyClick(view_.get(), Qt::Key(key)); }
    AnnotationObject* Object(int index) const
    {
        auto it = document_.Objects().begin();
        std::advance(it, index);
        return it->get();
    }
    LineObject* AddLine(QPoint from, QPoint to)
    {
        auto line = std::make_unique<LineObject>();
        line->startX = from.x(), line->startY = from.y(), line->endX = to.x(), line->endY = to.y();
        return static_cast<LineObject*>(Announce(document_.Objects().AppendObject(std::move(line))));
    }
    ShapeObject* AddBox(const ImageRect& rect)
    {
        auto box = std::make_unique<ShapeObject>();
        box->SetRect(rect);
        return static_cast<ShapeObject*>(Announce(document_.Objects().AppendObject(std::move(box))));
    }
    // An object added behind the tools' back is announced as the document announces its changes.
    AnnotationObject* Announce(AnnotationObject* object)
    {
        document_.UpdateAllViews();
        return object;
    }
    // Answers the text dialog the Text tool opens.
    static void AnswerDialog(bool accept)
    {
        QTimer::singleShot(0, [accept] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                accept ? dialog->accept() : dialog->reject();
        });
    }
    // Runs answer on the next modal dialog of type T once it shows, however many event loops (a popup
    // menu's, say) come first.
    template <typename T> static void WhenShown(std::function<void(T&)> answer)
    {
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
            if (auto* shown = qobject_cast<T*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                answer(*shown);
            }
        });
        poll->start(5);
    }

    CParamBar bar_;
    std::unique_ptr<CKestrelView> view_;
};
