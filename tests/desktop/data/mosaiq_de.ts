<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>mosaiq::TranslationProbe</name>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
</context>
</TS>
