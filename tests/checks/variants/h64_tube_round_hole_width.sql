-- Immersion tubes with round holes and a width.
-- expect: H64
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = 0.1 WHERE bez = 'T1';
