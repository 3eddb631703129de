// The cut window's frame: no bars, and the caption the cut window gives it,
// the document title followed by ": 3D Cut".
#pragma once

#include "app/CDocumentFrame.h"

namespace quillmere {

class CConfiguration;
class CCutDialog;

class CExtendedChildFrame : public CDocumentFrame {
    Q_OBJECT

public:
    CExtendedChildFrame(CSession* shown, const CConfiguration& configuration, QWidget* parent = nullptr);

    CCutDialog* CutWindow() const { return cut; }

signals:
    // The window is about to close.
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CCutDialog* cut;
};

} // namespace quillmere
