{ Reads a dBase table with Free Pascal's TDbf, the outside reader our tests compare with.
  Usage: tdbfread FOLDER TABLE [INDEX [KEY ...]]
  Prints the table level, the index tags, the order, the fields, every record in reading order (tab-separated, <null> for
  an empty field), then for each KEY whether a search on the index finds it. A KEY starting
  with '#' is searched as an integer; a key found prints its record's fields. The table is opened read-only: TDbf would otherwise
  rewrite the header when it misses the index. On a file system with letter case it looks for
  the index as TABLE.mdx unless the whole path is upper case. }
program tdbfread;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, db, dbf, dbf_common;

var
  D: TDbf;
  i, k: Integer;
  line, key: string;
  names: TStringList;
  found: Boolean;
begin
  D := TDbf.Create(nil);
  try
    try
      D.FilePathFull := ParamStr(1);
      D.TableName := ParamStr(2);
      D.ReadOnly := True;
      D.Open;
      names := TStringList.Create;
      D.GetIndexNames(names);
      WriteLn('LEVEL ', D.TableLevel);
      WriteLn('INDEXES ', names.CommaText);
      names.Free;
      if ParamCount >= 3 then
        D.IndexName := ParamStr(3);
      WriteLn('ORDER ', D.IndexName);
      for i := 0 to D.FieldCount - 1 do
        WriteLn('FIELD ', D.Fields[i].FieldName, ' ', FieldTypeNames[D.Fields[i].DataType], ' ', D.Fields[i].Size);
      D.First;
      while not D.EOF do
      begin
        line := 'REC';
        for i := 0 to D.FieldCount - 1 do
          if D.Fields[i].IsNull then
            line := line + #9 + '<null>'
          else
            line := line + #9 + D.Fields[i].AsString;
        WriteLn(line);
        D.Next;
      end;
      for k := 4 to ParamCount do
      begin
        key := ParamStr(k);
        if (Length(key) > 0) and (key[1] = '#') then
          found := D.SearchKey(StrToInt(Copy(key, 2, Length(key))), stEqual)
        else
          found := D.SearchKey(key, stEqual);
        if found then
        begin
          line := 'FOUND ' + key;
          for i := 0 to D.FieldCount - 1 do
            line := line + #9 + D.Fields[i].AsString;
          WriteLn(line);
        end
        else
          WriteLn('MISSING ', key);
      end;
      D.Close;
    except
      on E: Exception do
      begin
        WriteLn('ERROR ', E.Message);
        Halt(1);
      end;
    end;
  finally
    D.Free;
  end;
end.
