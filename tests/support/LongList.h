#pragma once

#include "export/Export.h"

#include <string>

namespace conv::test
{

/// The list of an export that passed over `count` classes, all for a day out of 1 to 7, in groups
/// G0, G1… as the export makes it.
inline RowList passedOverList(int count)
{
    exporter::ExportReport report;
    for (int i = 0; i < count; ++i) {
        exporter::PassedOver p;
        p.reason = exporter::PassedOver::Reason::BadDay;
        p.dia = "9";
        p.hora = std::to_string(i % 8 + 1);
        p.grupo = "G" + std::to_string(i);
        p.asig = "MAT";
        p.prof = "P1";
        p.aula = "A1";
        p.sesiones = "1";
        report.passedOver.push_back(p);
    }
    return exporter::passedOverList(report);
}

} // namespace conv::test
