#pragma once

#include "tables/Table.h"

#include <string_view>

namespace conv::import
{

/// The values of one GRUPOST record, a group's or a subgroup's; a group leaves the subgroup's
/// code and names empty.
struct GroupValues
{
    std::string_view abrev, turno, nivel, curso, grupo;
    std::string_view codGru, codSub, codCurso;
    std::string_view nomeGrupo, nomeAbrevGrupo, nomeSub, nomeAbrevSub, nomeCurso;
    std::string_view descrip;
};

/// Appends the records of the groups and subgroups stages to GRUPOST.
class GroupRecord
{
public:
    explicit GroupRecord(Table& grupos);
    /// Appends and posts one record; MARCO is "0" on every one, an empty value leaves its field
    /// blank.
    void write(const GroupValues& v);

private:
    Table& m_table;
    FieldRef fAbrev, fTurno, fNivel, fCurso, fGrupo, fMarco, fCodGru, fCodSub, fCodCurso, fNomeGrupo, fNomeAbrevGrupo,
        fNomeSub, fNomeAbrevSub, fNomeCurso, fDescrip;
};

} // namespace conv::import
