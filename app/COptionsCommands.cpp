#include "app/COptionsCommands.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "config/CConfiguration.h"
#include "model/CProjectProfile.h"
#include "ui/config/CConfigurationDialog.h"
#include "ui/config/CGraphicalOptionsDialog.h"
#include "ui/scene/CSceneCommands.h"
#include "ui/scene/CSceneRender.h"

#include <QAction>
#include <QMdiArea>

namespace quillmere {

COptionsCommands::COptionsCommands(CMainFrame& mainFrame) : frame(mainFrame) {
    CCommandTable& commands = frame.Commands();
    auto view = [this] { return CommandState{frame.ActiveSceneView() != nullptr, false}; };
    commands.Define(
        command::DisplayOptions, QStringLiteral("Display &options..."),
        QStringLiteral("Change display options"), [this] { ShowOptions(false); }, view);
    commands.Define(
        command::GraphicsOptions, QStringLiteral("&Graphics options"),
        QStringLiteral("Graphics options on/off"), [this] { ShowOptions(true); },
        [this] {
            return CommandState{frame.ActiveSceneView() != nullptr, !dialog.isNull()};
        },
        true);
    commands.Define(command::Configuration, QStringLiteral("&Configuration"),
                    QStringLiteral("Display Quillmere configuration for editing"),
                    [this] { EditConfiguration(); });
    QObject::connect(&frame, &CMainFrame::ActiveViewChanged, &frame,
                     [this](CSceneRender* active) { Follow(active); });
}

COptionsCommands::~COptionsCommands() {
    // The main frame is going: the dialog's going must not update its
    // command states.
    if (dialog)
        QObject::disconnect(dialog, nullptr, &frame, nullptr);
    delete dialog.data();
}

void COptionsCommands::ShowOptions(bool toggle) {
    CSceneRender* view = frame.ActiveSceneView();
    if (dialog && toggle) {
        dialog->close();
        return;
    }
    if (!view)
        return;
    if (!dialog) {
        dialog = new CGraphicalOptionsDialog(&frame);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &CGraphicalOptionsDialog::ApplyToAllRequested, &frame, [this] {
            if (!dialog || !dialog->Target())
                return;
            const DisplaySettings settings = *dialog->Target();
            for (CChildFrame* child : frame.Children())
                child->View()->Commands().ApplySettings(settings);
        });
        QObject::connect(dialog, &CGraphicalOptionsDialog::SaveRequested, &frame, [this] {
            if (!dialog || !dialog->Target())
                return;
            frame.Configuration().Settings() = *dialog->Target();
            if (frame.Configuration().Write())
                frame.Configuration().Read();
        });
        QObject::connect(dialog, &QObject::destroyed, &frame, [this] { frame.Commands().UpdateStates(); });
        const QPoint corner = frame.centralWidget()->mapToGlobal(QPoint(2, 2));
        dialog->move(corner);
    }
    Follow(view);
    dialog->show();
    dialog->raise();
}

void COptionsCommands::Follow(CSceneRender* view) {
    QObject::disconnect(viewGone);
    QObject::disconnect(viewEdited);
    if (!dialog)
        return;
    // Without an active view (the last window closed, a cut window active)
    // the controls rest: nothing may write into a view that has gone.
    if (!view) {
        dialog->SetTarget(nullptr, {});
        return;
    }
    viewGone = QObject::connect(view, &QObject::destroyed, dialog, [this] { Follow(nullptr); });
    viewEdited = QObject::connect(view, &CSceneRender::DisplaySettingsChanged, dialog,
                                  &CGraphicalOptionsDialog::Refresh);
    dialog->SetTarget(&view->Scene().Settings(), [view] {
        // The view takes its edited settings; its document's views redraw.
        view->Commands().ApplySettings(view->Scene().Settings());
        if (CDocument* document = view->Document())
            document->UpdateAllViews(view, DocumentEvent::SettingsChanged);
    });
}

void COptionsCommands::EditConfiguration() {
    if (CConfigurationDialog::Edit(frame.Configuration(), &frame))
        frame.NotifyUnitsChanged();
}

} // namespace quillmere
