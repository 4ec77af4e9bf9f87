#include "app/GateFileNotice.h"

#include "app/FeatureTexts.h"
#include "shell/MessageBoxes.h"
#include "site/GateFile.h"

void ReportUnusableGateFile(const QString& folder)
{
    const GateFile gate = ReadGateFile(folder + QLatin1String(kGateFileName));
    switch (gate.state) {
    case GateFileState::Absent:
    case GateFileState::Present: return;
    case GateFileState::Damaged: MessageBoxes::ShowMessage(FeatureTexts::GateFileDamaged(gate.reason)); return;
    case GateFileState::Foreign: MessageBoxes::ShowMessage(FeatureTexts::GateFileForeign(gate.reason)); return;
    case GateFileState::Expired: MessageBoxes::ShowMessage(FeatureTexts::GateFileExpired(gate.reason)); return;
    }
}
