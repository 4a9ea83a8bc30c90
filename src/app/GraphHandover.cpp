// The graph button: hands the work area's recording to the graph window and shows it afresh.
#include "app/TForm1.h"

#include "graph/TForm2.h"
#include "graph/core/GraphHandover.h"

void TForm1::SetGraphWindow(TForm2* form2) {
    const bool wired = Form2 != nullptr;
    Form2 = form2;
    if (!Form2) return;
    Form2->SetSource({&GraphLines, &State.CountsPerG, &DataFileName});
    Form2->SetInteraction(deps_.interaction);
    if (!wired) connect(Button12, &QPushButton::clicked, this, [this] { Button12Click(); });
}

void TForm1::Button12Click() {
    // The work area's recording as it stands: the graph keeps it, without a copy of its lines, however the
    // work area changes afterwards.
    std::optional<vexa::GraphHandover> handover =
        vexa::PrepareGraphHandover(Memo1->Snapshot(), State.CountsPerG);
    if (!handover) return;
    if (handover->linesLeftOut > 0)
        Label33->setText(QStringLiteral("Graph: the first %1 lines are drawn; %2 lines after them are not")
                             .arg(vexa::kGraphLineLimit)
                             .arg(handover->linesLeftOut));
    session_.AdoptCountsPerG(handover->countsPerG);
    GraphLines = std::move(*handover);
    if (!Form2) return;
    Form2->close();
    Form2->resize(800, 550);
    Form2->show();
}
