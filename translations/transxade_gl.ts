<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="gl" sourcelanguage="es">
<context>
    <name>conv::app::HelpViewer</name>
    <message>
        <source>Ayuda</source>
        <translation>Axuda</translation>
    </message>
    <message>
        <source>Contenido</source>
        <translation>Contido</translation>
    </message>
    <message>
        <source>Escriba la palabra que busca</source>
        <translation>Escriba a palabra que busca</translation>
    </message>
    <message>
        <source>Índice</source>
        <translation>Índice</translation>
    </message>
</context>
<context>
    <name>conv::app::ListDialog</name>
    <message>
        <source>&amp;Guardar lista…</source>
        <translation>&amp;Gardar lista…</translation>
    </message>
    <message>
        <source>A&amp;yuda</source>
        <translation>A&amp;xuda</translation>
    </message>
    <message>
        <source>&amp;Aceptar</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Volver</source>
        <translation>&amp;Volver</translation>
    </message>
    <message>
        <source>&amp;Continuar</source>
        <translation>&amp;Continuar</translation>
    </message>
    <message>
        <source>Guardar lista</source>
        <translation>Gardar lista</translation>
    </message>
    <message>
        <source>Lista CSV (*.csv);;Todos los archivos (*)</source>
        <translation>Lista CSV (*.csv);;Todos os ficheiros (*)</translation>
    </message>
</context>
<context>
    <name>conv::app::QtMessageBoxes</name>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>A&amp;yuda</source>
        <translation>A&amp;xuda</translation>
    </message>
    <message>
        <source>&amp;Reintentar</source>
        <translation>&amp;Tentar de novo</translation>
    </message>
    <message>
        <source>&amp;Cancelar</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
</context>
<context>
    <name>conv::app::RecordNavigator</name>
    <message>
        <source>Move to first record</source>
        <translation>Ir á primeira fila</translation>
    </message>
    <message>
        <source>Move backward 10 records</source>
        <translation>Retroceder 10 filas</translation>
    </message>
    <message>
        <source>Move to prior record</source>
        <translation>Ir á fila anterior</translation>
    </message>
    <message>
        <source>Move to next record</source>
        <translation>Ir á fila seguinte</translation>
    </message>
    <message>
        <source>Move forward 10 records</source>
        <translation>Avanzar 10 filas</translation>
    </message>
    <message>
        <source>Move to last record</source>
        <translation>Ir á última fila</translation>
    </message>
    <message>
        <source>Edit current record</source>
        <translation>Editar a fila</translation>
    </message>
    <message>
        <source>Post changes of current record</source>
        <translation>Gardar os cambios da fila</translation>
    </message>
    <message>
        <source>Cancel changes made to current record</source>
        <translation>Desfacer os cambios da fila</translation>
    </message>
    <message>
        <source>Refresh the contents of the dataset</source>
        <translation>Volver ler os datos</translation>
    </message>
</context>
<context>
    <name>conv::app::TControlPlantilla</name>
    <message>
        <source>Control de Plantilla Horaria</source>
        <translation>Control do modelo horario</translation>
    </message>
    <message>
        <source>COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO</source>
        <translation>COMPROBACIÓN DO MODELO HORARIO DO CENTRO</translation>
    </message>
    <message>
        <source>HORA</source>
        <translation>HORA</translation>
    </message>
    <message>
        <source>HORA INICIO CLASE</source>
        <translation>HORA DE INICIO DA CLASE</translation>
    </message>
    <message>
        <source>PLANTILLA HORARIA DEL CENTRO</source>
        <translation>MODELO HORARIO DO CENTRO</translation>
    </message>
    <message>
        <source>Modifique, en caso necesario, las Horas de Inicio de Clase, en la presente rejilla. Deben ser iguales que la Plantilla Horaria de su Centro.</source>
        <translation>Se é preciso, modifique nesta grella as horas de inicio das clases. Deben ser as do modelo horario do seu centro.</translation>
    </message>
    <message>
        <source>Aceptar</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>conv::app::TMForm</name>
    <message>
        <source>Transformar datos desde XADE hacia Vestrano </source>
        <translation>Transformar datos de XADE a Vestrano</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Transformar datos desde Vestrano hacia XADE</source>
        <translation>Transformar datos de Vestrano a XADE</translation>
    </message>
    <message>
        <source>PRIMERO ==&gt;</source>
        <translation>PRIMEIRO ==&gt;</translation>
    </message>
    <message>
        <source>Seleccione la Carpeta en la que se encuentran los Ficheros CSV de XADE</source>
        <translation>Escolla o cartafol onde están os ficheiros CSV de XADE</translation>
    </message>
    <message>
        <source>Ruta Actual:</source>
        <translation>Ruta actual:</translation>
    </message>
    <message>
        <source>F1 AYUDA</source>
        <translation>F1 AXUDA</translation>
    </message>
    <message>
        <source>&amp;Salir</source>
        <translation>&amp;Saír</translation>
    </message>
    <message>
        <source>Seleccionar la Convocatoria a importar:</source>
        <translation>Escoller a convocatoria que se vai importar:</translation>
    </message>
    <message>
        <source>CONVOC.</source>
        <translation>CONVOC.</translation>
    </message>
    <message>
        <source>DESCRIPCION</source>
        <translation>DESCRICIÓN</translation>
    </message>
    <message>
        <source>Continuar</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <source>NIVELES DE ESTUDIOS</source>
        <translation>NIVEIS DE ESTUDOS</translation>
    </message>
    <message>
        <source>Escriba las Abreviaturas Turno (1 caracter), Nivel (hasta 5 cars.) y Curso (hasta 2 cars.). Servirán para las Abreviaturas de Vestrano.</source>
        <translation>Escriba as abreviaturas de quenda (1 carácter), nivel (ata 5 car.) e curso (ata 2 car.). Servirán para as abreviaturas de Vestrano.</translation>
    </message>
    <message>
        <source>ATENCIÓN - Los Identificadores o Abreviaturas que luego aparecerán en Vestrano, se formarán en función de las  siglas que aquí se introduzcan.</source>
        <translation>ATENCIÓN - Os identificadores ou abreviaturas que despois aparecerán en Vestrano formaranse a partir das siglas que se escriban aquí.</translation>
    </message>
    <message>
        <source>TURNO</source>
        <translation>QUENDA</translation>
    </message>
    <message>
        <source>Aceptar</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Volver a los Datos</source>
        <translation>Volver aos datos</translation>
    </message>
    <message>
        <source>Delete record?</source>
        <translation>Borrar a fila?</translation>
    </message>
    <message>
        <source>No se pudo guardar el resultado de la conversión para Vestrano. Pida a quien administre este equipo que permita a los usuarios modificar ese archivo, o que instale este programa en la carpeta de Vestrano (la que contiene Vestrano.ini).

«Reintentar» lo intenta de nuevo; «Cancelar» cierra sin guardar el resultado.</source>
        <translation>Non se puido gardar o resultado da conversión para Vestrano. Pídalle a quen administre este equipo que permita aos usuarios modificar ese ficheiro, ou que instale este programa no cartafol de Vestrano (o que contén Vestrano.ini).

«Tentar de novo» volve tentalo; «Cancelar» pecha sen gardar o resultado.</translation>
    </message>
    <message>
        <source>La ayuda no está instalada en este equipo.</source>
        <translation>A axuda non está instalada neste equipo.</translation>
    </message>
    <message>
        <source>Las líneas marcadas, al principio, detendrían la importación. No se ha escrito nada: corrija los ficheros en XADE, sáquelos de nuevo y pulse «Volver».</source>
        <translation>As liñas marcadas, ao principio, deterían a importación. Non se escribiu nada: corrixa os ficheiros en XADE, expórteos de novo e prema «Volver».</translation>
    </message>
    <message>
        <source>La importación puede seguir, pero perderá o recortará lo que dicen estas líneas. «Continuar» importa así; «Volver» no escribe nada y deja corregir los ficheros en XADE.</source>
        <translation>A importación pode seguir, pero perderá ou recortará o que din estas liñas. «Continuar» importa así; «Volver» non escribe nada e deixa corrixir os ficheiros en XADE.</translation>
    </message>
</context>
</TS>
