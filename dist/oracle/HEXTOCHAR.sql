CREATE OR REPLACE FUNCTION HEXTOCHAR (
    hex_value IN VARCHAR2)
RETURN VARCHAR2
AS
    -- Decodes hexadecimal text (RAWTOHEX of a raw column) two digits at a
    -- time through DECODE_HEX. Codes that DECODE_HEX does not list, and an
    -- odd last digit, add nothing. The result holds at most 2000 characters.
    v_text VARCHAR2(2000);
BEGIN
    IF hex_value IS NULL THEN
        RETURN NULL;
    END IF;
    FOR i IN 0 .. TRUNC(LENGTH(hex_value) / 2) - 1 LOOP
        v_text := v_text || DECODE_HEX(SUBSTR(hex_value, 2 * i + 1, 2));
    END LOOP;
    RETURN v_text;
END HEXTOCHAR;
