-- Immersion tubes with holes of type X.
-- expect: H61
-- level: 2
UPDATE tbl_rvldaten SET HVE_T = 'X' WHERE bez = 'T1';
