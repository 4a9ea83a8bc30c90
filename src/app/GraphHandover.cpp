// The graph button: hands the work area's lines to the graph window and shows it afresh.
#include "app/TForm1.h"

#include "graph/TForm2.h"
#include "graph/core/GraphHandover.h"

#include <algorithm>

void TForm1::SetGraphWindow(TForm2* form2) {
    const bool wired = Form2 != nullptr;
    Form2 = form2;
    if (!Form2) return;
    Form2->SetSource({&State.DownloadLines, &State.LineCount, &State.CountsPerG, &DataFileName});
    Form2->SetInteraction(deps_.interaction);
    if (!wired) connect(Button12, &QPushButton::clicked, this, [this] { Button12Click(); });
}

void TForm1::Button12Click() {
    std::optional<vexa::GraphHandover> handover = vexa::PrepareGraphHandover(Memo1->Lines(), State.CountsPerG);
    if (!handover) return;
    if (handover->linesLeftOut > 0)
        Label33->setText(QStringLiteral("Graph: the first %1 lines are drawn; %2 lines after them are not")
                             .arg(vexa::kGraphLineLimit)
                             .arg(handover->linesLeftOut));
    session_.HoldGraphLines(std::move(handover->lines), handover->countsPerG);
    if (!Form2) return;
    Form2->close();
    Form2->resize(800, 550);
    Form2->show();
}
