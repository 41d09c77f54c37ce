-- A division without its second outlet.
-- expect: S14
-- level: 2
UPDATE tbl_rvldaten SET ablauf2 = NULL WHERE bez = 'A1';
