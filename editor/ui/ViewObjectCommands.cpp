#include "editor/ui/ViewObjectCommands.h"

#include "editor/bars/CParamBar.h"
#include "editor/bars/PropertyChangeTarget.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"
#include "editor/ui/CEditTxtDlg.h"
#include "editor/ui/CKestrelView.h"
#include "editor/ui/CStepNumberDlg.h"
#include "editor/ui/ObjectHandles.h"
#include "editor/ui/SelectionFrame.h"

#include <QMenu>

#include <utility>

bool ViewObjectCommands::Run(int id)
{
    if (!view_.LiveSelectedObject())
        return false;
    switch (id) {
    case kEditText:
        EditText();
        return true;
    case kFlatten:
        Flatten();
        return true;
    case kBringToFront:
        BringToFront();
        return true;
    case kSendToBack:
        SendToBack();
        return true;
    case kDelete:
        DeleteSelected();
        return true;
    default:
        return false;
    }
}

namespace {
bool HasTextDialog(const AnnotationObject* object)
{
    return object && (object->Kind() == ObjectKind::Text || object->Kind() == ObjectKind::Step);
}
} // namespace

bool ViewObjectCommands::EditText()
{
    AnnotationObject* object = view_.LiveSelectedObject();
    if (!HasTextDialog(object))
        return false;
    if (object->Kind() == ObjectKind::Step)
        return Renumber(static_cast<StepObject&>(*object));
    auto& text = static_cast<TextObject&>(*object);
    // The dialog edits a copy, so the history records the text as it was before OK, and a Cancel
    // records nothing.
    TextObject edited = text;
    CEditTxtDlg dialog(edited, &view_);
    if (dialog.exec() != QDialog::Accepted || view_.LiveSelectedObject() != object)
        return false;
    view_.RecordEdit();
    text = edited;
    view_.InvalidateComposite();
    return true;
}

bool ViewObjectCommands::Renumber(StepObject& step)
{
    StepObject edited = step;
    CStepNumberDlg dialog(edited, &view_);
    // An unchanged number is no edit: nothing to undo.
    if (dialog.exec() != QDialog::Accepted || view_.LiveSelectedObject() != &step || edited.number == step.number)
        return false;
    view_.RecordEdit();
    step.number = edited.number;
    Refresh(ObjectHandles::SelectedArea(step));
    return true;
}

void ViewObjectCommands::Flatten()
{
    CKestrelDoc* document = view_.Document();
    view_.RecordEdit();
    if (document->Image().BitCount() == 32 || document->Image().ConvertTo(32))
        CKestrelView::FlattenObjects(document->Objects(), document->Image());
    document->Objects().ClearObjects();
    view_.SetSelectedObject(nullptr);
    document->UpdateAllViews();
}

void ViewObjectCommands::Refresh(const QRect& area)
{
    view_.RefreshImageArea(area);
    emit view_.EditStateChanged();
}

void ViewObjectCommands::BringToFront()
{
    if (AnnotationObject* object = view_.LiveSelectedObject()) {
        view_.RecordEdit();
        view_.Document()->Objects().BringToFront(object);
        Refresh(ObjectHandles::SelectedArea(*object));
    }
}

void ViewObjectCommands::SendToBack()
{
    if (AnnotationObject* object = view_.LiveSelectedObject()) {
        view_.RecordEdit();
        view_.Document()->Objects().SendToBack(object);
        Refresh(ObjectHandles::SelectedArea(*object));
    }
}

void ViewObjectCommands::DeleteSelected()
{
    AnnotationObject* object = view_.LiveSelectedObject();
    if (!object)
        return;
    const QRect area = ObjectHandles::SelectedArea(*object);
    view_.RecordEdit();
    view_.SetSelectedObject(nullptr);
    view_.Document()->Objects().RemoveObject(object);
    view_.SetCanvasSelection({});
    Refresh(area);
    // The rubber band may have gone with it.
    view_.viewport()->update();
}

void ViewObjectCommands::Crop()
{
    CKestrelDoc* document = view_.Document();
    const ImageRect& wanted = view_.ImageSelection();
    if (wanted.Width() <= 0 || wanted.Height() <= 0)
        return;
    ImageBuffer part;
    if (!std::as_const(*document).Image().CopyRegion(&part, wanted))
        return;
    part.SetOrigin(0, 0);
    view_.RecordEdit();
    // The snapshot keeps the uncropped picture; it is never copied.
    document->SetImage(std::move(part));
    view_.SetCanvasSelection({});
    view_.Drag().savedRect = {};
    view_.FreeDarkenedImage();
    document->UpdateAllViews();
}

void ViewObjectCommands::ClearBand()
{
    view_.SetCanvasSelection({});
    view_.viewport()->update();
}

QMenu* ViewObjectCommands::MakeContextMenu()
{
    auto* menu = new QMenu(&view_);
    menu->setObjectName("menu234");
    auto add = [](QMenu* to, const char* text, int id) {
        QAction* action = to->addAction(text);
        action->setData(id);
        return action;
    };
    AnnotationObject* object = view_.LiveSelectedObject();
    add(menu, "Edit Text", kEditText)->setEnabled(HasTextDialog(object));
    add(menu, "Flatten", kFlatten);
    QMenu* layer = menu->addMenu("Layer");
    add(layer, "Bring to Front", kBringToFront);
    add(layer, "Send to Back", kSendToBack);
    add(menu, "Delete", kDelete);
    return menu;
}

void ViewObjectCommands::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (view_.CurrentTool() == CKestrelView::ToolCrop && SelectionFrame::IsValid(view_.CanvasSelection()))
            Crop();
        break;
    case Qt::Key_Escape:
        ClearBand();
        break;
    case Qt::Key_Delete:
        // Shift+Delete is Cut.
        if (modifiers == Qt::NoModifier)
            DeleteSelected();
        break;
    default:
        break;
    }
}

void ViewObjectCommands::ApplyBar(const PropertyChange& change)
{
    AnnotationObject* object = view_.LiveSelectedObject();
    CParamBar* bar = view_.ParamBar();
    // A panel of another kind (another tab's tool, say) has nothing to say about this object.
    if (!object || !bar || bar->CurrentKind() != PanelKind::ForObject(int(object->Kind())))
        return;
    const bool continues = change.gesture != 0 && change.gesture == recordedGesture_;
    std::unique_ptr<HistoryEntry> step = continues ? nullptr : view_.Document()->SnapshotStep();
    const QRect before = ObjectHandles::SelectedArea(*object);
    if (!bar->ReadValues().ApplyControl(change.control, *object))
        return;
    if (change.control == PanelControl::kStampList) {
        ImageBuffer picture = bar->FetchStampImage();
        if (!picture.IsEmpty())
            static_cast<StampObject*>(object)->SetImage(std::move(picture));
    }
    if (step) {
        view_.RecordEdit(std::move(step));
        recordedGesture_ = change.gesture;
    }
    // A shadow switched on or off changes where the object reaches.
    Refresh(before | ObjectHandles::SelectedArea(*object));
}
