-- A name with a leading blank: its first character is no type letter, so the
-- links naming it are refused.
-- expect: S07 S08
-- level: 2
UPDATE tbl_rvldaten SET bez = ' G9' WHERE bez = 'G9';
UPDATE tbl_rvldaten SET ablauf1 = ' G9' WHERE bez = 'Z1';
UPDATE tbl_rvldaten SET zulauf1 = ' G9' WHERE bez = 'V1';
