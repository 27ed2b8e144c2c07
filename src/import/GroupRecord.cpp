#include "import/GroupRecord.h"

namespace conv::import
{

GroupRecord::GroupRecord(Table& grupos)
    : m_table(grupos)
    , fAbrev(grupos.fieldByName("ABREV"))
    , fTurno(grupos.fieldByName("TURNO"))
    , fNivel(grupos.fieldByName("NIVEL"))
    , fCurso(grupos.fieldByName("CURSO"))
    , fGrupo(grupos.fieldByName("GRUPO"))
    , fMarco(grupos.fieldByName("MARCO"))
    , fCodGru(grupos.fieldByName("CODGRUXADE"))
    , fCodSub(grupos.fieldByName("CODSUBGRUXADE"))
    , fCodCurso(grupos.fieldByName("CODCURSOXADE"))
    , fNomeGrupo(grupos.fieldByName("NOMEGRUPOXADE"))
    , fNomeAbrevGrupo(grupos.fieldByName("NOMEABREVGRUPXADE"))
    , fNomeSub(grupos.fieldByName("NOMESUBGRUXADE"))
    , fNomeAbrevSub(grupos.fieldByName("NOMEABREVSUBGRUXADE"))
    , fNomeCurso(grupos.fieldByName("NOMECURSOXADE"))
    , fDescrip(grupos.fieldByName("DESCRIP"))
{
}

void GroupRecord::write(const GroupValues& v)
{
    m_table.append();
    // An appended record is blank: an empty value needs no writing (a group has no subgroup's).
    const auto set = [](FieldRef& field, std::string_view value) {
        if (!value.empty())
            field.setString(value);
    };
    set(fAbrev, v.abrev);
    set(fTurno, v.turno);
    set(fNivel, v.nivel);
    set(fCurso, v.curso);
    set(fGrupo, v.grupo);
    fMarco.setString("0");
    set(fCodGru, v.codGru);
    set(fCodSub, v.codSub);
    set(fCodCurso, v.codCurso);
    set(fNomeGrupo, v.nomeGrupo);
    set(fNomeAbrevGrupo, v.nomeAbrevGrupo);
    set(fNomeSub, v.nomeSub);
    set(fNomeAbrevSub, v.nomeAbrevSub);
    set(fNomeCurso, v.nomeCurso);
    set(fDescrip, v.descrip);
    m_table.post();
}

} // namespace conv::import
