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
    fAbrev.setString(v.abrev);
    fTurno.setString(v.turno);
    fNivel.setString(v.nivel);
    fCurso.setString(v.curso);
    fGrupo.setString(v.grupo);
    fMarco.setString("0");
    fCodGru.setString(v.codGru);
    fCodSub.setString(v.codSub);
    fCodCurso.setString(v.codCurso);
    fNomeGrupo.setString(v.nomeGrupo);
    fNomeAbrevGrupo.setString(v.nomeAbrevGrupo);
    fNomeSub.setString(v.nomeSub);
    fNomeAbrevSub.setString(v.nomeAbrevSub);
    fNomeCurso.setString(v.nomeCurso);
    fDescrip.setString(v.descrip);
    m_table.post();
}

} // namespace conv::import
