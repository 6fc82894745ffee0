<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs_CZ">
<context>
    <name>TLang</name>
    <message>
        <source>Information</source>
        <translation>Informace</translation>
    </message>
    <message>
        <source>You must restart the application for the language changes to take effect.</source>
        <translation>Změna jazyka se projeví po novém spuštění aplikace.</translation>
    </message>
</context>
</TS>
