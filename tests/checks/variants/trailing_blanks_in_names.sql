-- Trailing blanks in the fixed-width name fields carry no meaning: 'G9  ' and
-- 'G9' are the same element, the plant validates.
-- expect:
-- level: 0
UPDATE tbl_rvldaten SET bez = 'G9  ' WHERE bez = 'G9';
UPDATE tbl_rvldaten SET ablauf1 = 'G9 ' WHERE bez = 'Z1';
