#!/usr/bin/env bash
# Writes the XADE export of a large made-up school, and the answers file of its courses.
# Usage: make_school.sh DIR [COURSES]   (default 200 courses: about 26,000 lines)
# Per course: 8 groups of 2 subgroups, 12 subjects in each subject file, 10 teachers per group.
set -euo pipefail
dir=$1
courses=${2:-200}
mkdir -p "$dir"
awk -v dir="$dir" -v courses="$courses" 'BEGIN {
    bom = "\357\273\277"; nl = "\r\n"
    f = dir "/convocatoriasCentro.csv"
    printf "%sCODIGO,DESCRICION%s2026ORD,\"Convocatoria ordinaria\"%s", bom, nl, nl > f
    g = dir "/gruposCentro.csv"; s = dir "/subgruposCentro.csv"; p = dir "/profesoresGrupoCentro.csv"
    mc = dir "/materiasHorarioOfertaCentro.csv"; mx = dir "/materiasHorarioOfertaXeral.csv"
    a = dir "/niveles.csv"
    printf "%sCONVOCATORIA,CODCURSO,CODGRUPO,NOMEGRUPO,NOMECURSO,NOMEABREVGRUPO%s", bom, nl > g
    printf "%sCODGRUPO,CODSUBGRUPO,TIPO,NOMESUBGRUPO,NOMEABREVSUBGRUPO%s", bom, nl > s
    printf "%sCODEMPREGADO,CODGRUPO,NOME,MATERIA%s", bom, nl > p
    printf "%sCODMATERIA,CODCURSO,CODTAREA,CODLARGO,NOME,ABREV%s", bom, nl > mc
    printf "%sCODMATERIA,CODCURSO,CODTAREA,CODLARGO,NOME,ABREV%s", bom, nl > mx
    printf "CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\n" > a
    for (c = 1; c <= courses; c++) {
        course = 10000 + c
        name = sprintf("Curso %d", c)
        printf "%d,%s,%s,L%03d,%d\n", course, name, (c % 2 ? "M" : "T"), int(c / 10), c % 10 > a
        for (k = 1; k <= 12; k++) {
            printf "M%05d%02d,%d,0,S%02d,\"Materia %d\",S%02d%s", c, k, course, k, k, k, nl > mc
            printf "X%05d%02d,%d,0,S%02d,\"Materia %d\",S%02d%s", c, k, course, k, k, k, nl > mx
        }
        for (q = 1; q <= 8; q++) {
            group = sprintf("G%05d%d", c, q)
            printf "2026ORD,%d,%s,%c,\"%s\",%d%c%s", course, group, 64 + q, name, c, 64 + q, nl > g
            for (t = 1; t <= 2; t++)
                printf "%s,%s%d,Desdobre,\"Desdobre %d\",D%d%s", group, group, t, t, t, nl > s
            for (t = 1; t <= 10; t++)
                printf "E%04d,%s,\"Docente %d, Persoa\",M%05d%02d%s", (c * 7 + q * 3 + t) % 900, group,
                    (c * 7 + q * 3 + t) % 900, c, t, nl > p
        }
    }
    f = dir "/actividadesProfesor.csv"
    printf "%sCODACTIVIDADE,DESCRICION,NOME%s", bom, nl > f
    for (i = 1; i <= 50; i++) printf "AC%02d,ACT%d,\"Actividade %d\"%s", i, i, i, nl > f
    f = dir "/aulasCentro.csv"
    printf "%sCODAULA,NOME%s", bom, nl > f
    for (i = 1; i <= 200; i++) printf "AULA%d,\"Aula %d\"%s", i, i, nl > f
}'
echo "$(cat "$dir"/*.csv | wc -l) lines in $dir" >&2
